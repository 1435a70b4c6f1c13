#version 330 core
// The scene seen from the flame, for the shadow map. viewMatrix already holds the
// light's projection.

layout(location = 0) in vec3 position;

uniform mat4 modelMatrix;
uniform mat4 viewMatrix;
uniform mat4 projectionMatrix;

out vec3 worldPosition;

void main()
{
    vec4 world = modelMatrix * vec4(position, 1.0);
    worldPosition = world.xyz;
    gl_Position = viewMatrix * world;
}
