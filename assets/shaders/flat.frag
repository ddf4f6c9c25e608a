#version 330 core
// The texture as it is: sprites, menus, backgrounds.
in vec2 uv;

uniform sampler2D diffuseTex;

out vec4 fragColor;

void main()
{
    vec4 texel = texture(diffuseTex, uv);
    if (texel.a < 0.004)
        discard; // fully transparent texels leave the depth buffer alone
    fragColor = texel;
}
