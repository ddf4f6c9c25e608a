#pragma once

#include "Mesh.h"
#include "ResourceHandle.h"
#include "Resourceloader.h"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kit {

class Material;
using MaterialLibrary = std::unordered_map<std::string, std::shared_ptr<Material>>;

// What an OBJ file holds, expanded: per material name (sorted), every face
// corner as its own vertex (no de-duplication).
struct ObjData {
    struct Group {
        std::vector<glm::vec3> positions;
        std::vector<glm::vec3> normals;
        std::vector<glm::vec2> uvs; // (u, 1 - v)
    };
    std::vector<std::string> materialLibraries; // as named by "mtllib", prefixed with the file's directory
    std::map<std::string, Group> groups;
};

// Reads "v", "vn", "vt", "f" (the first three corners of a face, as p, p/t,
// p//n or p/t/n), "usemtl" and "mtllib"; other lines are skipped. Faces before
// any "usemtl" belong to the group "". An index beyond its array, or missing,
// reads the all-zero element.
ObjData parseObj(std::string_view text, const std::string& directory);

// A group's corners with equal position, normal and texture coordinates
// stored once, and its triangles as indices into them (three a triangle).
struct IndexedGroup {
    ObjData::Group vertices;
    std::vector<std::uint32_t> indices;
};
IndexedGroup indexVertices(const ObjData::Group& corners);

// Wavefront OBJ meshes; each material group becomes one indexed part.
class objLoader : public Resourceloader<Mesh> {
public:
    void load() override;
    void finish() override;

    ObjData data; // its groups moved into `indexed` once read
    std::map<std::string, IndexedGroup> indexed;
    ResourceHandle<MaterialLibrary> lastLibrary;
};

} // namespace kit
