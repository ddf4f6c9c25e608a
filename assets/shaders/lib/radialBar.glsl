// A ring gauge's arc: whether the point at `uv` of the sprite lies within the
// arc from minAngle towards maxAngle that `value` (0 to 1) fills. Angles in
// radians, counter-clockwise from +X around the sprite's centre.
const float TAU = 6.28318530718;

bool withinFilledArc(vec2 uv, float minAngle, float maxAngle, float value)
{
    vec2 fromCentre = vec2(uv.x - 0.5, 0.5 - uv.y); // v grows downwards
    float angle = atan(fromCentre.y, fromCentre.x);
    float swept = mod(angle - minAngle, TAU);
    float span = maxAngle - minAngle;
    span = span < 0.0 ? span + TAU : min(span, TAU); // a full turn stays a full turn
    return swept <= clamp(value, 0.0, 1.0) * span;
}
