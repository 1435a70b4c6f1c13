#version 330 core
// The scene seen from the flame, for the shadow map. viewMatrix already holds the
// light's projection.
//
// Only the depth this pass leaves behind is used for shadows; the game masks colour writes
// here. Whoever looks into the target's colour image with a GL debugger sees the distance
// from the flame (light) in shares of the shadow range (red), and how squarely each
// surface faces the point the map is seen from (camPosition) (green), worked out per
// vertex so that the pass costs next to nothing per fragment.

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;

uniform mat4 modelMatrix;
uniform mat4 viewMatrix;
uniform mat4 projectionMatrix;
uniform vec3 camPosition;
uniform vec3 light;

out vec2 shade;

void main()
{
    vec4 world = modelMatrix * vec4(position, 1.0);
    // The far plane of the shadow projection, from its depth row.
    float range = projectionMatrix[3][2] / (projectionMatrix[2][2] + 1.0);
    vec3 worldNormal = mat3(modelMatrix) * normal;
    vec3 toEye = camPosition - world.xyz;
    float facing = 0.0;
    if (dot(worldNormal, worldNormal) > 1e-12 && dot(toEye, toEye) > 1e-12)
        facing = max(dot(normalize(worldNormal), normalize(toEye)), 0.0);
    shade = vec2(distance(world.xyz, light) / range, facing);
    gl_Position = viewMatrix * world;
}
