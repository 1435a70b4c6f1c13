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

// A Gaussian of sigma 6 texels reaching 12 texels each way: at quarter size, two steps
// spread the flame some 50 pixels of the full window. Each fetch between two texels reads
// both through linear filtering, so 13 fetches cover the 25 taps.
const float centreWeight = 0.0690452;
const float pairWeights[6] = float[](0.1334067, 0.1162192, 0.0906686, 0.0633453, 0.0396322, 0.0222053);
const float pairOffsets[6] = float[](1.48958, 3.47571, 5.46188, 7.44810, 9.43441, 11.42081);
const float glowStrength = 4.0;

// The pairs of fetches a step makes: none for the overlay, which reads one texel. The count
// is the same for every fragment of a draw, so a driver that runs fragments side by side
// leaves the loop for all of them at once rather than fetching in vain for a masked branch.
int pairCount()
{
    return pass == 3 ? 0 : 6;
}

vec3 blur(vec3 centre, vec2 step)
{
    vec3 sum = centre * centreWeight;
    int pairs = pairCount();
    for (int i = 0; i < pairs; ++i) {
        vec2 offset = step * pairOffsets[i];
        sum += (texture(glowTexture, screenUv + offset).rgb + texture(glowTexture, screenUv - offset).rgb) * pairWeights[i];
    }
    return sum;
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
    vec3 centre = texture(glowTexture, screenUv).rgb;
    // Across in the first step, down in the second.
    vec2 step = pass == 1 ? vec2(1.0 / max(windowWidth, 1.0), 0.0) : vec2(0.0, 1.0 / max(windowHeight, 1.0));
    vec3 blurred = blur(centre, step);
    if (pass != 3) {
        // Written opaque: the colour itself carries the coverage, so blending leaves it as is.
        fragColor = vec4(blurred, 1.0);
        return;
    }
    float peak = max(centre.r, max(centre.g, centre.b));
    if (peak < 1.0 / 255.0)
        discard;
    vec3 hue = centre / peak;
    // The heart of the glow burns paler; the halo keeps the flame's colour and fades
    // out smoothly, never quite hiding the scene at its rim.
    vec3 colour = mix(hue, vec3(1.0, 0.95, 0.82), 0.6 * smoothstep(0.5, 0.9, peak));
    float strength = 1.0 - exp(-peak * glowStrength);
    fragColor = vec4(colour, strength * topFade());
}
