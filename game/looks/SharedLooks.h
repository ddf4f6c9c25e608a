#pragma once

#include <memory>
#include <string>

namespace kit {
class Material;
}

namespace skyscuffle {

// The one material every textured quad of a texture shares when drawn
// unlit ("shaders/flatShader.txt"): bullets, flashes.
std::shared_ptr<kit::Material> sharedFlatMaterial(const std::string& texture);

} // namespace skyscuffle
