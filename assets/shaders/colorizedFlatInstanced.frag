#version 330 core
// colorizedFlat.frag with the tint and the opacity of the copy being drawn.
in vec2 uv;
flat in vec3 tint;
flat in float opacity;

uniform sampler2D diffuseTex;

out vec4 fragColor;

void main()
{
    vec4 texel = texture(diffuseTex, uv);
    fragColor = vec4(texel.rgb * tint, texel.a * opacity);
}
