#pragma once

#include "engine/core/Behavior.h"
#include "engine/resources/UniformValue.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kit {
class Material;
}

namespace skyscuffle {

// How a model of the game is drawn when its file's own look is not enough:
// another shader program, a normal map, another diffuse texture, a few values.
// The colours and the texture of the model's file are kept unless replaced.
struct LookSpec {
    std::string program;    // shader program path
    std::string normalMap;  // texture path for "normalTex", or empty
    std::string diffuse;    // texture path for "diffuseTex", or empty for the file's own
    std::vector<std::pair<std::string, kit::UniformValue>> values;

    [[nodiscard]] std::string key() const;
};

// Dresses its entity's Model once the model's mesh has arrived: the first
// part's material from the file, with the look's program, textures and
// values, shared by every entity with the same model and look. Then it
// removes itself. Until the mesh is loaded (or without a display, in tests)
// it only waits.
class ModelLook : public kit::Behavior {
public:
    explicit ModelLook(LookSpec spec);

    void update(float dt) override;

    LookSpec spec;
};

// The shared material of a model path and a look, built from the model's
// file material (null until that exists).
std::shared_ptr<kit::Material> lookMaterial(const std::string& meshPath, const kit::Material& fileMaterial,
                                            const LookSpec& spec);

} // namespace skyscuffle
