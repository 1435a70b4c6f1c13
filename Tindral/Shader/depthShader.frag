#version 330 core
// Only the depth this pass leaves behind is used for shadows; the game masks colour writes
// here. Whoever looks into the target's colour image with a GL debugger sees the distance
// from the flame (light) in shares of the shadow range (red), and how squarely each
// surface faces the point the map is seen from (camPosition) (green).

in vec3 worldPosition;
in vec3 worldNormal;

uniform vec3 camPosition;
uniform vec3 light;
uniform mat4 projectionMatrix;

out vec4 fragColor;

void main()
{
    // The far plane of the shadow projection, from its depth row.
    float range = projectionMatrix[3][2] / (projectionMatrix[2][2] + 1.0);
    float facing = 0.0;
    vec3 toEye = camPosition - worldPosition;
    if (dot(worldNormal, worldNormal) > 1e-12 && dot(toEye, toEye) > 1e-12)
        facing = max(dot(normalize(worldNormal), normalize(toEye)), 0.0);
    fragColor = vec4(distance(worldPosition, light) / range, facing, 0.0, 1.0);
}
