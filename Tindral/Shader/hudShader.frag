#version 330 core
// A bar runs from the neutral colour at its left end into its own colour at the right,
// with a slight bevel across its height.

in vec2 barUv;

uniform vec3 colorNeutral;
uniform vec3 colorFinal;

out vec4 fragColor;

void main()
{
    float along = smoothstep(0.0, 1.0, clamp(barUv.x, 0.0, 1.0));
    float across = 1.0 - abs(clamp(barUv.y, 0.0, 1.0) * 2.0 - 1.0);
    vec3 colour = mix(colorNeutral, colorFinal, along) * (0.75 + 0.25 * across);
    fragColor = vec4(colour, 0.9);
}
