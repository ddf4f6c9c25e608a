#include "Icon.h"

#include "engine/core/World.h"
#include "engine/render/Sprite.h"
#include "engine/resources/ResourceManagers.h"

namespace skyscuffle {

Icon::Icon(std::vector<std::string> textures, bool canAdvance) : textures(std::move(textures)), canAdvance(canAdvance)
{
    addClassTags<Icon>("icon");
}

void Icon::advance()
{
    if (!canAdvance || textures.empty())
        return;
    shown = (shown + 1) % textures.size();
    if (!world)
        return;
    if (auto* sprite = world->getComponent<kit::Sprite>(entityId))
        sprite->setTexture(kit::textureManager().getHandle(textures[shown]));
}

} // namespace skyscuffle
