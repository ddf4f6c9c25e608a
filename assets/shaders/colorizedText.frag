#version 330 core
// Bitmap-font glyphs: the atlas gives the coverage, "color" the colour.
in vec2 uv;

uniform sampler2D diffuseTex;
uniform vec3 color;

out vec4 fragColor;

void main()
{
    float coverage = texture(diffuseTex, uv).a;
    if (coverage < 0.004)
        discard;
    fragColor = vec4(color, coverage);
}
