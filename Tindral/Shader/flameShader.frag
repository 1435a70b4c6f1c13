#version 330 core
// Bright and warm: a hot core where the flame faces the camera, glowing embers at its rim,
// both in the flame's current light colour. Fully opaque, so the glow sees all of it.

in vec3 viewNormal;
in vec3 viewPosition;

uniform vec3 lightColor;

out vec4 fragColor;

void main()
{
    float facing = 1.0;
    if (dot(viewNormal, viewNormal) > 1e-12 && dot(viewPosition, viewPosition) > 1e-12)
        facing = abs(dot(normalize(viewNormal), normalize(-viewPosition)));
    vec3 embers = lightColor * vec3(1.0, 0.42, 0.08);
    vec3 core = lightColor * vec3(1.0, 0.78, 0.45);
    fragColor = vec4(mix(embers, core, facing * facing), 1.0);
}
