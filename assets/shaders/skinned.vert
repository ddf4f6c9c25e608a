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
    // Weights of bones beyond the uploaded ones are lost: the rest share the whole.
    skin = total > 0.0 ? skin / total : mat4(1.0); // no bone: the bind pose
    vec4 posed = skin * vec4(pos, 1.0);
    worldPos = (M * posed).xyz;
    worldNormal = transpose(inverse(mat3(M) * mat3(skin))) * normal;
    uv = UV;
    gl_Position = MVP * posed;
}
