#version 330 core
// Vertex stage of the lit programs: world-space position and normal for the
// lights, texture coordinates passed through.
in vec3 pos;
in vec3 normal;
in vec2 UV;

uniform mat4 MVP;
uniform mat4 M;

out vec3 worldPos;
out vec3 worldNormal;
out vec2 uv;

void main()
{
    worldPos = (M * vec4(pos, 1.0)).xyz;
    worldNormal = transpose(inverse(mat3(M))) * normal; // right under non-uniform scale too
    uv = UV;
    gl_Position = MVP * vec4(pos, 1.0);
}
