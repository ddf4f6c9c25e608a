#version 330 core
// flat.vert for many ring gauges in one instanced draw: the matrix and the
// filled part come per copy.
in vec3 pos;
in vec2 UV;
in mat4 MVP;    // per copy
in float value; // per copy

out vec2 uv;
flat out float filled;

void main()
{
    uv = UV;
    filled = value;
    gl_Position = MVP * vec4(pos, 1.0);
}
