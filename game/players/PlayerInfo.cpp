#include "PlayerInfo.h"

#include "engine/core/Log.h"

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
    kit::log::info() << "PlayerInfo added";
}

void PlayerInfo::onRemoved()
{
    kit::log::info() << "PlayerInfo removed";
}

} // namespace skyscuffle
