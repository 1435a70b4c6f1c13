#version 330 core
// The screen quad of the glow steps: its x and y are clip coordinates already.

layout(location = 0) in vec3 position;

uniform mat4 modelMatrix;

out vec2 screenUv;

void main()
{
    vec4 p = modelMatrix * vec4(position.xy, 0.0, 1.0);
    vec2 ndc = p.xy / p.w;
    // Texture coordinates from the position, so the image cannot come out upside down
    // whatever the quad's own uvs are.
    screenUv = ndc * 0.5 + 0.5;
    // Nearly at the near plane: over the whole scene, but still behind the HUD.
    gl_Position = vec4(ndc, -0.99, 1.0);
}
