#version 330 core
// flat.vert for many copies in one instanced draw: the matrix comes per copy.
in vec3 pos;
in vec2 UV;
in mat4 MVP; // per copy

out vec2 uv;

void main()
{
    uv = UV;
    gl_Position = MVP * vec4(pos, 1.0);
}
