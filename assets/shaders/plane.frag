#version 330 core
// The players' planes: the player's texture ("diffuseTex"), a normal map
// ("normalTex") and a saturation boost so that team colours read at a glance.
#include "lib/lighting.glsl"

in vec3 worldPos;
in vec3 worldNormal;
in vec2 uv;

uniform sampler2D diffuseTex;
uniform sampler2D normalTex;
uniform bool usingNormalTex; // without a normal map the surface keeps its own normals
uniform float saturation; // 0 leaves the texture as it is; 0.25 is a quarter more colourful

out vec4 fragColor;

void main()
{
    vec4 base = texture(diffuseTex, uv);
    float grey = dot(base.rgb, vec3(0.299, 0.587, 0.114));
    vec3 vivid = clamp(mix(vec3(grey), base.rgb, 1.0 + saturation), 0.0, 1.0);
    vec3 n = normalize(gl_FrontFacing ? worldNormal : -worldNormal);
    if (usingNormalTex)
        n = perturbNormal(n, worldPos, uv, texture(normalTex, uv).xyz * 2.0 - 1.0);
    vec3 diffuse = vivid * (length(mat_diffuse) > 0.0 ? mat_diffuse : vec3(1.0));
    fragColor = vec4(shade(worldPos, n, diffuse, mat_specular), 1.0);
}
