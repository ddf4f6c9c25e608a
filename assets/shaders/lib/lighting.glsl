// Four directional lights and a Blinn-Phong material, shared by the lit
// programs. Directions point from the light into the scene, in world space.
struct Light {
    vec3 direction;
    vec3 color;
};
uniform Light lights[4];
uniform vec3 eyePos;

uniform vec3 mat_ambient;
uniform vec3 mat_diffuse;
uniform vec3 mat_specular;
uniform vec3 mat_emissive;
uniform float mat_shininess;

// Light reaching a point with normal n (unit, world space) for a surface of
// the given diffuse and specular colours.
vec3 shade(vec3 worldPos, vec3 n, vec3 diffuse, vec3 specular)
{
    vec3 toEye = normalize(eyePos - worldPos);
    vec3 result = mat_ambient * diffuse + mat_emissive;
    for (int i = 0; i < 4; ++i) {
        vec3 toLight = -normalize(lights[i].direction + vec3(0.0, 0.0, 1e-6));
        float lambert = max(dot(n, toLight), 0.0);
        vec3 halfway = normalize(toLight + toEye);
        float shine = lambert > 0.0 ? pow(max(dot(n, halfway), 0.0), max(mat_shininess, 1.0)) : 0.0;
        result += lights[i].color * (diffuse * lambert + specular * shine);
    }
    return result;
}

// A tangent frame from screen-space derivatives, for meshes without tangents:
// maps a tangent-space normal (from a normal map) to world space.
vec3 perturbNormal(vec3 n, vec3 worldPos, vec2 uv, vec3 mapped)
{
    vec3 dp1 = dFdx(worldPos);
    vec3 dp2 = dFdy(worldPos);
    vec2 duv1 = dFdx(uv);
    vec2 duv2 = dFdy(uv);
    vec3 dp2perp = cross(dp2, n);
    vec3 dp1perp = cross(n, dp1);
    vec3 t = dp2perp * duv1.x + dp1perp * duv2.x;
    vec3 b = dp2perp * duv1.y + dp1perp * duv2.y;
    float scale = inversesqrt(max(max(dot(t, t), dot(b, b)), 1e-20));
    mat3 frame = mat3(t * scale, b * scale, n);
    return normalize(frame * mapped);
}
