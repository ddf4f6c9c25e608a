#version 330 core
// Unlit quads and models: position and texture coordinates only.
in vec3 pos;
in vec2 UV;

uniform mat4 MVP;

out vec2 uv;

void main()
{
    uv = UV;
    gl_Position = MVP * vec4(pos, 1.0);
}
