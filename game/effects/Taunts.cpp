#include "Taunts.h"

#include "EffectSettings.h"

#include "game/common/CallRefusals.h"
#include "game/common/PrintableText.h"
#include "game/common/Tags.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/physics/LifeSpan.h"
#include "engine/physics/Transform.h"
#include "engine/render/Text.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/Texture.h"

#include <algorithm>

namespace skyscuffle {

std::string tauntText(int number)
{
    return effectSettings::taunts[std::clamp(number, 1, 4) - 1].value();
}

void spawnTaunt(kit::EntityHandle plane, const std::string& text)
{
    constexpr float glyphSize = 3.0f;
    constexpr float shownFor = 3.0f;
    constexpr std::size_t longest = 80; // a peer's text is not trusted to be short
    if (text.size() > longest || !isPrintable(text)) {
        refuseCall("spawnTaunt", "a taunt too long or with characters the font has not");
        return;
    }
    kit::World* world = plane.world;
    const kit::Transform* at = world ? world->getComponent<kit::Transform>(plane.id) : nullptr;
    if (!at)
        return;
    const std::string& shown = text;
    const auto font = kit::textureManager().prefetch("fonts/UbuntuMono.png");
    glm::vec3 colour(1.0f);
    if (const auto* info = world->getComponent<PlayerInfo>(plane.id))
        colour = info->colour;
    // Centred over the plane: a line starts one advance right of its origin.
    const float advance = glyphSize * 34.0f / 64.0f; // the font's cells are 34 x 64
    const glm::vec3 origin(-advance * (static_cast<float>(shown.size()) + 2.0f) * 0.5f, glyphSize, 0.0f);

    const kit::EntityHandle taunt = world->createEntity();
    world->addComponent(taunt, new kit::Label(tags::gameSpace));
    world->addComponent(taunt, new kit::Transform(at->worldPosition()));
    world->addComponent(taunt, new kit::Text(font, shown, colour, origin, {}, glyphSize));
    world->addComponent(taunt, new kit::LifeSpan(shownFor));
}

} // namespace skyscuffle
