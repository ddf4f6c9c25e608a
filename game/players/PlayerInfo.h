#pragma once

#include "game/players/PlayerTextureInfo.h"

#include "engine/core/Component.h"

#include <cstdint>

namespace skyscuffle {

// Who a player is: the appearance row chosen on the join screen and the
// player's number. Lives on the player's persistent entity.
class PlayerInfo : public kit::Component {
public:
    PlayerInfo(const PlayerTextureInfo& texture, std::uint32_t number);

    void onAdded() override;
    void onRemoved() override;

    std::string colourName;
    std::string modelTexture;
    std::string hudIcon;
    glm::vec3 colour;
    std::uint32_t number;
};

} // namespace skyscuffle
