#version 330 core
// Lit, optionally textured surfaces (OBJ/MTL models and everything assimp loads).
#include "lib/lighting.glsl"

in vec3 worldPos;
in vec3 worldNormal;
in vec2 uv;

uniform bool usingDiffuseTex;
uniform bool usingSpecularTex;
uniform sampler2D diffuseTex;
uniform sampler2D specularTex;

out vec4 fragColor;

void main()
{
    vec4 base = usingDiffuseTex ? texture(diffuseTex, uv) : vec4(1.0);
    vec3 diffuse = mat_diffuse * base.rgb;
    vec3 specular = usingSpecularTex ? mat_specular * texture(specularTex, uv).rgb : mat_specular;
    vec3 n = normalize(gl_FrontFacing ? worldNormal : -worldNormal);
    fragColor = vec4(shade(worldPos, n, diffuse, specular), base.a);
}
