#pragma once

#include <glm/vec3.hpp>

#include <string>

namespace kit {
class NetStream;
}

namespace skyscuffle {

// A player's appearance: one row of the join screen's colour table.
struct PlayerTextureInfo {
    std::string colourName;   // "Blue", ...
    std::string modelTexture; // the plane's texture
    std::string hudIcon;      // the plane icon of the HUD
    glm::vec3 colour{1.0f};   // RGB, 0 to 1

    friend bool operator==(const PlayerTextureInfo&, const PlayerTextureInfo&) = default;
};

// Named-function argument encoding: the three strings, then the colour.
void serialize(kit::NetStream& stream, PlayerTextureInfo& info);

} // namespace skyscuffle
