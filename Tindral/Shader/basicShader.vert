#version 330 core
// The lit scene: passes the world-space surface frame on for normal mapping and the
// shadow-map coordinate for the flame's shadows.

// Fixed locations, so that one vertex array serves every program.
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;
layout(location = 3) in vec3 tangents;
layout(location = 4) in vec3 bitangents;

uniform mat4 projectionMatrix;
uniform mat4 viewMatrix;
uniform mat4 modelMatrix;
// The flame's view, its projection, and the step from clip to texture space: the vertex's
// place in the shadow map. (Their product, depthMVP, moves points off the surface in the
// fragment shader.)
uniform mat4 depthProjMat;
uniform mat4 depthViewMat;
uniform mat4 biasMat;

out vec3 worldPosition;
out vec3 worldNormal;
out vec3 worldTangent;
out vec3 worldBitangent;
out vec2 texCoord;
out vec4 shadowCoord;

// The tangent and bitangent made square to the normal and to each other, once per vertex
// rather than for every fragment. A frame that has collapsed is passed on as zero, and the
// normal map then leaves the normal as it is.
void surfaceFrame(vec3 n, vec3 tangent, vec3 bitangent)
{
    worldTangent = vec3(0.0);
    worldBitangent = vec3(0.0);
    if (dot(n, n) < 1e-12)
        return;
    n = normalize(n);
    vec3 t = tangent - n * dot(n, tangent);
    if (dot(t, t) < 1e-10)
        return;
    t = normalize(t);
    vec3 b = bitangent - n * dot(n, bitangent) - t * dot(t, bitangent);
    worldTangent = t;
    worldBitangent = dot(b, b) < 1e-10 ? cross(n, t) : normalize(b);
}

void main()
{
    vec4 world = modelMatrix * vec4(position, 1.0);
    // Objects are only moved, turned and scaled evenly: the upper 3x3 keeps directions right.
    mat3 toWorld = mat3(modelMatrix);
    worldPosition = world.xyz;
    worldNormal = toWorld * normal;
    surfaceFrame(worldNormal, toWorld * tangents, toWorld * bitangents);
    texCoord = uv;
    shadowCoord = biasMat * (depthProjMat * (depthViewMat * world));
    gl_Position = projectionMatrix * viewMatrix * world;
}
