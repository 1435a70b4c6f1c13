#version 330 core
// HUD bars, placed directly in clip coordinates by their model matrix.

layout(location = 0) in vec3 position;
layout(location = 2) in vec2 uv;

uniform mat4 modelMatrix;

out vec2 barUv;

void main()
{
    barUv = uv;
    vec4 p = modelMatrix * vec4(position, 1.0);
    // Depth 0: in front of everything drawn before, the glow quad included.
    gl_Position = vec4(p.xy, -p.w, p.w);
}
