#version 330 core
// The scene seen from the flame, for the shadow map. viewMatrix already holds the
// light's projection.

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;

uniform mat4 modelMatrix;
uniform mat4 viewMatrix;

out vec3 worldPosition;
out vec3 worldNormal;

void main()
{
    vec4 world = modelMatrix * vec4(position, 1.0);
    worldPosition = world.xyz;
    worldNormal = mat3(modelMatrix) * normal;
    gl_Position = viewMatrix * world;
}
