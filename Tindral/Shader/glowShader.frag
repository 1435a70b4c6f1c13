#version 330 core
// pass 1: blur the flame image across; pass 2: blur it down; both at quarter size.
// pass 3: lay the blurred glow over the finished frame. Blending is source alpha over the
// frame, so the alpha written in pass 3 says how strongly the glow shows.

in vec2 screenUv;

uniform sampler2D glowTexture;
uniform float windowWidth;  // size of the quarter image, in texels
uniform float windowHeight;
uniform int pass;
uniform int border;

out vec4 fragColor;

// A Gaussian of sigma 6 texels over 25 taps, one texel apart: at quarter size, two steps
// spread the flame some 50 pixels of the full window, without banding.
const int tapRadius = 12;
const float sigma = 6.0;
const float glowStrength = 4.0;

vec3 blur(vec2 step)
{
    vec3 sum = vec3(0.0);
    float total = 0.0;
    for (int i = -tapRadius; i <= tapRadius; ++i) {
        float weight = exp(-float(i * i) / (2.0 * sigma * sigma));
        sum += texture(glowTexture, screenUv + step * float(i)).rgb * weight;
        total += weight;
    }
    return sum / total;
}

float topFade()
{
    if (border <= 0)
        return 1.0;
    float top = float(border) / 0.9;
    return 1.0 - 0.7 * smoothstep(float(border), top, gl_FragCoord.y);
}

void main()
{
    if (pass == 1) {
        // Written opaque: the colour itself carries the coverage, so blending leaves it as is.
        fragColor = vec4(blur(vec2(1.0 / max(windowWidth, 1.0), 0.0)), 1.0);
    } else if (pass == 2) {
        fragColor = vec4(blur(vec2(0.0, 1.0 / max(windowHeight, 1.0))), 1.0);
    } else {
        vec3 glow = texture(glowTexture, screenUv).rgb;
        float peak = max(glow.r, max(glow.g, glow.b));
        if (peak < 1.0 / 255.0)
            discard;
        vec3 hue = glow / peak;
        // The heart of the glow burns paler; the halo keeps the flame's colour and fades
        // out smoothly, never quite hiding the scene at its rim.
        vec3 colour = mix(hue, vec3(1.0, 0.95, 0.82), 0.6 * smoothstep(0.5, 0.9, peak));
        float strength = 1.0 - exp(-peak * glowStrength);
        fragColor = vec4(colour, strength * topFade());
    }
}
