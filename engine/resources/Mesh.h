#pragma once

#include <memory>
#include <utility>
#include <vector>

namespace kit {

class Material;
class VertexBuffer;

// Parts drawn as independent triangles, each with its material. Empty until
// its loader has finished.
class Mesh {
public:
    struct Part {
        std::shared_ptr<VertexBuffer> buffer;
        std::shared_ptr<Material> material;
    };

    std::vector<Part> parts;
};

} // namespace kit
