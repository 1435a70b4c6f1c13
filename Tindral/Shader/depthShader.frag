#version 330 core
// Only the depth this pass leaves behind is used for shadows. The colour image gets the
// distance from the light (camPosition), in tenths of the shadow range, which makes the
// shadow target readable when looking into it.

in vec3 worldPosition;

uniform vec3 camPosition;
uniform vec3 light;

out vec4 fragColor;

void main()
{
    fragColor = vec4(vec3(distance(worldPosition, camPosition) / 10.0), 1.0);
}
