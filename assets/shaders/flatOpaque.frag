#version 330 core
// The texture as it is, for opaque models (the stage, the menus' landscape):
// without the discard of flat.frag, a software renderer writes depth before
// shading, so a near layer saves the shading of everything behind it.
in vec2 uv;

uniform sampler2D diffuseTex;

out vec4 fragColor;

void main()
{
    fragColor = texture(diffuseTex, uv);
}
