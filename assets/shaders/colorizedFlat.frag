#version 330 core
// A texture tinted by a colour and faded by an opacity: particles, shadows.
in vec2 uv;

uniform sampler2D diffuseTex;
uniform vec3 color;
uniform float alpha;

out vec4 fragColor;

void main()
{
    vec4 texel = texture(diffuseTex, uv);
    fragColor = vec4(texel.rgb * color, texel.a * alpha);
}
