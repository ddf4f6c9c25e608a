#version 330 core
// flat.vert for many tinted copies in one instanced draw: the matrix, the
// tint and the opacity come per copy and are handed on unchanged.
in vec3 pos;
in vec2 UV;
in mat4 MVP;     // per copy
in vec3 color;   // per copy
in float alpha;  // per copy

out vec2 uv;
flat out vec3 tint;
flat out float opacity;

void main()
{
    uv = UV;
    tint = color;
    opacity = alpha;
    gl_Position = MVP * vec4(pos, 1.0);
}
