#version 330 core
// Skinned meshes: each vertex follows up to four bones ("index", "weight")
// whose matrices ("bones") take it from the bind pose to the current pose.
in vec3 pos;
in vec3 normal;
in vec2 UV;
in ivec4 index;
in vec4 weight;

uniform mat4 MVP;
uniform mat4 M;
uniform mat4 bones[64];
uniform int boneCount;

out vec3 worldPos;
out vec3 worldNormal;
out vec2 uv;

void main()
{
    mat4 skin = mat4(0.0);
    float total = 0.0;
    for (int i = 0; i < 4; ++i) {
        if (weight[i] > 0.0 && index[i] >= 0 && index[i] < boneCount) {
            skin += bones[index[i]] * weight[i];
            total += weight[i];
        }
    }
    if (total <= 0.0)
        skin = mat4(1.0); // vertices no bone moves stay in the bind pose
    vec4 posed = skin * vec4(pos, 1.0);
    worldPos = (M * posed).xyz;
    worldNormal = mat3(M) * mat3(skin) * normal;
    uv = UV;
    gl_Position = MVP * posed;
}
