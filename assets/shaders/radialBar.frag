#version 330 core
// A ring gauge: the sprite shows only within the arc that `value` fills.
#include "lib/radialBar.glsl"
in vec2 uv;

uniform sampler2D diffuseTex;
uniform float minAngle;
uniform float maxAngle;
uniform float value;

out vec4 fragColor;

void main()
{
    vec4 texel = texture(diffuseTex, uv);
    if (!withinFilledArc(uv, minAngle, maxAngle, value) || texel.a < 0.004)
        discard;
    fragColor = texel;
}
