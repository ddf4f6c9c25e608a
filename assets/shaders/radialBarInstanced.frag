#version 330 core
// radialBar.frag with the filled part of the copy being drawn.
#include "lib/radialBar.glsl"
in vec2 uv;
flat in float filled;

uniform sampler2D diffuseTex;
uniform float minAngle;
uniform float maxAngle;

out vec4 fragColor;

void main()
{
    vec4 texel = texture(diffuseTex, uv);
    if (!withinFilledArc(uv, minAngle, maxAngle, filled) || texel.a < 0.004)
        discard;
    fragColor = texel;
}
