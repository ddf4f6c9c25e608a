#include "PlayerInfo.h"

#include <iostream>

namespace skyscuffle {

PlayerInfo::PlayerInfo(const PlayerTextureInfo& texture, std::uint32_t number)
    : colourName(texture.colourName),
      modelTexture(texture.modelTexture),
      hudIcon(texture.hudIcon),
      colour(texture.colour),
      number(number)
{
    addClassTags<PlayerInfo>("playerInfo");
}

void PlayerInfo::onAdded()
{
    std::cout << "PlayerInfo added\n";
}

void PlayerInfo::onRemoved()
{
    std::cout << "PlayerInfo removed\n";
}

} // namespace skyscuffle
