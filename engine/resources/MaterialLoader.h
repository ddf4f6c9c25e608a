#pragma once

#include "Material.h"
#include "Resourceloader.h"
#include "UniformValue.h"

#include <istream>
#include <string>

namespace kit {

// What a material description file says:
//   { shaderProgram "shaders/flatShader.txt" texture diffuseTex "sprites/x.png"
//     uniforms [ float mat_shininess 10.0 vec3 mat_diffuse [1.0 1.0 1.0] int count 3 ] }
struct MaterialDescription {
    std::string shaderProgram;
    std::string texture; // set as sampler "diffuseTex"
    UniformSet uniforms;
};

// Parses a material file into `out`. Throws ParseError on a syntax error;
// what was read before it stays in `out`.
void parseMaterial(std::istream& in, MaterialDescription& out);

// The engine's material description files. A syntax error is reported as
// "<full path>: <parse error>" and the material keeps what was read before it.
class MaterialLoader : public Resourceloader<Material> {
public:
    void load() override;
    void finish() override {}
};

} // namespace kit
