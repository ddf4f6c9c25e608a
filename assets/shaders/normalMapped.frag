#version 330 core
// Lit surfaces with a tangent-space normal map ("normalTex"); the tangent
// frame comes from screen-space derivatives, so meshes need no tangents.
#include "lib/lighting.glsl"

in vec3 worldPos;
in vec3 worldNormal;
in vec2 uv;

uniform bool usingDiffuseTex;
uniform sampler2D diffuseTex;
uniform sampler2D normalTex;
uniform bool usingNormalTex; // without a normal map the surface keeps its own normals

out vec4 fragColor;

void main()
{
    vec4 base = usingDiffuseTex ? texture(diffuseTex, uv) : vec4(1.0);
    vec3 n = normalize(gl_FrontFacing ? worldNormal : -worldNormal);
    vec3 mapped = texture(normalTex, uv).xyz * 2.0 - 1.0;
    if (usingNormalTex)
        n = perturbNormal(n, worldPos, uv, mapped);
    fragColor = vec4(shade(worldPos, n, mat_diffuse * base.rgb, mat_specular), base.a);
}
