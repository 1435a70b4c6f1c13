#version 330 core
// The flame is the only light of a dark world: warm, falling off to black a few units
// away, with soft shadows and normal-mapped surfaces.

in vec3 worldPosition;
in vec3 worldNormal;
in vec3 worldTangent;
in vec3 worldBitangent;
in vec2 texCoord;
in vec4 shadowCoord;

uniform sampler2D color_texture;
uniform sampler2D normal_texture;
uniform sampler2DShadow shadow_texture;
uniform mat4 depthMVP;

uniform vec3 light;
uniform vec3 lightColor;
uniform vec3 camPosition;
uniform float minDistance;
uniform float maxDistance;
// "distance" is looked up by the game but never set; it is left undeclared here, since
// the name would hide GLSL's own distance() and some drivers refuse that.

uniform float material_ambient;
uniform float material_diffuse;
uniform float material_specular;
uniform float transparency;
uniform int border;

out vec4 fragColor;

// Firelight is never quite white: every light colour is warmed a little.
const vec3 flameTint = vec3(1.0, 0.84, 0.64);

// Spread of the shadow taps, in shadow-map texels: a turned square of four, each tap itself
// filtered over its 2 x 2 texels by the shadow sampler.
const float shadowSpread = 2.5;
const vec2 shadowTaps[4] = vec2[](vec2(-0.25, 0.75), vec2(0.75, 0.25), vec2(0.25, -0.75), vec2(-0.75, -0.25));

// The vertex normal, or the face normal when the mesh came without normals.
vec3 geometricNormal()
{
    vec3 n = worldNormal;
    if (dot(n, n) < 1e-12)
        n = cross(dFdx(worldPosition), dFdy(worldPosition));
    return normalize(n);
}

// Bends the normal by the normal map, in the surface frame the vertices made. A frame that
// collapsed arrives as zero, and a missing normal map reads black: either leaves the normal
// as it is.
vec3 mappedNormal(vec3 n)
{
    vec3 texel = texture(normal_texture, texCoord).rgb;
    vec3 bent = mat3(worldTangent, worldBitangent, n) * (texel * 2.0 - 1.0);
    float length2 = dot(bent, bent);
    bool usable = dot(texel, texel) >= 1e-4 && dot(worldTangent, worldTangent) > 1e-6 && length2 > 1e-12;
    return usable ? bent * inversesqrt(length2) : n;
}

// Full light inside minDistance, gone at maxDistance, and an inverse-square-like decay between.
float falloff(float d)
{
    float nearEdge = minDistance > 0.0 ? minDistance : 2.0;
    float farEdge = max(maxDistance, nearEdge + 0.5);
    float fade = 1.0 - smoothstep(nearEdge, farEdge, d);
    return fade / (1.0 + 0.05 * d + 0.015 * d * d);
}

// Share of the light that reaches this point, 0 to 1, averaged over a few taps (each of them
// filtered by the shadow sampler) for soft edges. The sample point is pushed a little off the
// surface, more so far from the light where a shadow texel covers more ground.
float lightVisibility(vec3 n, float d)
{
    vec4 coord = shadowCoord + depthMVP * vec4(n * (0.004 * d + 0.004), 0.0);
    vec3 p = coord.xyz / coord.w;
    vec2 texel = shadowSpread / vec2(textureSize(shadow_texture, 0));
    float lit = 0.0;
    for (int i = 0; i < 4; ++i)
        lit += texture(shadow_texture, vec3(p.xy + shadowTaps[i] * texel, p.z - 1e-5));
    // Behind the light, or outside its map, nothing casts a shadow.
    bool inMap = coord.w > 0.0 && all(greaterThanEqual(p, vec3(0.0))) && all(lessThanEqual(p, vec3(1.0)));
    return inMap ? lit / 4.0 : 1.0;
}

// Darkens the band above the border row towards the top of the window.
float topFade()
{
    if (border <= 0)
        return 1.0;
    float top = float(border) / 0.9;
    return 1.0 - 0.7 * smoothstep(float(border), top, gl_FragCoord.y);
}

// The specular highlight's sharpness, 24, by multiplication.
float shininess(float x)
{
    float x2 = x * x;
    float x4 = x2 * x2;
    float x8 = x4 * x4;
    return x8 * x8 * x8;
}

void main()
{
    vec3 albedo = texture(color_texture, texCoord).rgb;
    vec3 toLight = light - worldPosition;
    float d = length(toLight);
    float reach = falloff(d);
    vec3 ambient = material_ambient * albedo * (0.05 + 0.35 * reach) * flameTint;

    // Beyond the light's reach fire is black, and a surface turned away from the light gets
    // neither diffuse nor specular light: both need no branch of their own.
    vec3 surfaceNormal = geometricNormal();
    vec3 n = mappedNormal(surfaceNormal);
    vec3 l = d > 1e-5 ? toLight / d : surfaceNormal;
    float facing = dot(n, l);
    float surfaceFacing = dot(surfaceNormal, l);

    vec3 v = normalize(camPosition - worldPosition);
    vec3 h = normalize(l + v);
    vec3 fire = lightColor * flameTint * reach;
    float visible = lightVisibility(surfaceNormal, d);

    vec3 diffuse = material_diffuse * max(facing, 0.0) * albedo * fire * visible;
    float shine = surfaceFacing > 0.0 ? shininess(max(dot(n, h), 0.0)) : 0.0;
    vec3 specular = material_specular * 2.0 * shine * fire * visible;

    fragColor = vec4((ambient + diffuse + specular) * topFade(), transparency);
}
