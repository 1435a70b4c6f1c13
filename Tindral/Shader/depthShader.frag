#version 330 core
// The shadow map's colour image, which nothing reads: see the vertex shader.

in vec2 shade;

out vec4 fragColor;

void main()
{
    fragColor = vec4(shade, 0.0, 1.0);
}
