#pragma once

#include "ObjLoader.h"
#include "Resourceloader.h"
#include "UniformValue.h"

#include <string>
#include <string_view>
#include <vector>

namespace kit {

// One material of an MTL file, as written.
struct MtlEntry {
    std::string name;
    UniformSet uniforms;        // "mat_ambient", "mat_diffuse", "mat_specular", "mat_shininess"
    std::string diffuseTexture; // as named by map_Kd, empty when none
    std::string specularTexture;
};

// Reads "newmtl", "Ka", "Kd", "Ks", "Ns", "map_Kd" and "map_Ks"; other lines
// are skipped.
std::vector<MtlEntry> parseMtl(std::string_view text);

// Wavefront material libraries: every material gets the textured shader
// program, its colours and textures (relative to the library's directory).
// A shininess of 0 becomes 10, and a textured colour left black becomes white.
class wavefrontMtlLoader : public Resourceloader<MaterialLibrary> {
public:
    void load() override;
    void finish() override;

    std::vector<std::string> texturePaths; // requested, in file order
};

} // namespace kit
