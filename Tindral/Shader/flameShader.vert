#version 330 core
// The flame mesh alone, into the quarter-size image that the glow spreads.

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;

uniform mat4 modelMatrix;
uniform mat4 viewMatrix;
uniform mat4 projectionMatrix;

out vec3 viewNormal;
out vec3 viewPosition;

void main()
{
    vec4 eye = viewMatrix * modelMatrix * vec4(position, 1.0);
    viewPosition = eye.xyz;
    viewNormal = mat3(viewMatrix * modelMatrix) * normal;
    gl_Position = projectionMatrix * eye;
}
