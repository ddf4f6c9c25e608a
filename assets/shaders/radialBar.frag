#version 330 core
// A ring gauge: the sprite shows only within the arc from minAngle towards
// maxAngle that `value` (0 to 1) fills. Angles in radians, counter-clockwise
// from +X around the sprite's centre.
in vec2 uv;

uniform sampler2D diffuseTex;
uniform float minAngle;
uniform float maxAngle;
uniform float value;

out vec4 fragColor;

const float TAU = 6.28318530718;

void main()
{
    vec2 fromCentre = vec2(uv.x - 0.5, 0.5 - uv.y); // v grows downwards
    float angle = atan(fromCentre.y, fromCentre.x);
    float swept = mod(angle - minAngle, TAU);
    float span = maxAngle - minAngle;
    span = span < 0.0 ? span + TAU : min(span, TAU); // a full turn stays a full turn
    float filled = clamp(value, 0.0, 1.0) * span;
    vec4 texel = texture(diffuseTex, uv);
    if (swept > filled || texel.a < 0.004)
        discard;
    fragColor = texel;
}
