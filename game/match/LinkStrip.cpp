#include "LinkStrip.h"

#include "game/common/Tags.h"
#include "game/lobby/LinkLabel.h"
#include "game/looks/OutlinedText.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/Label.h"
#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Transform.h"
#include "engine/render/AspectTranslation.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"
#include "engine/resources/ResourceManagers.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace skyscuffle {

namespace {

// Overlay units (the window is 2 high): a row as tall as its icons.
constexpr float rowHeight = 0.09f;
constexpr float chipWidth = 0.0675f, chipHeight = 0.09f; // the HUD icons' 3:4
constexpr float chipStep = 0.05f;                        // icons of one copy overlap a little
constexpr float textSize = 0.055f;
constexpr glm::vec2 firstRow{-0.96f, 0.93f}; // the first icon's middle; x as a fraction of the half-width
constexpr float textLayer = 0.0f;            // over the gauges' layers
constexpr glm::vec3 leftColour{0.7f, 0.7f, 0.7f};
constexpr float refreshSeconds = 1.0f;

struct Row {
    std::uint32_t origin = 0;
    kit::Text* text = nullptr;
};

kit::EntityHandle hudEntity(kit::World& world, kit::EntityHandle parent, glm::vec3 at)
{
    const kit::EntityHandle e = world.createEntity();
    world.addComponent(e, new kit::Label(tags::hudSpace));
    world.addComponent(e, parent.world ? new kit::Transform(parent, at) : new kit::Transform(at));
    return e;
}

// One copy's row: its icons from the left edge, then its text from `textLeft`.
Row addRow(kit::World& world, std::uint32_t origin, const std::vector<std::string>& icons, int index, float textLeft)
{
    const glm::vec3 at(firstRow.x, firstRow.y - rowHeight * static_cast<float>(index), 0.0f);
    const kit::EntityHandle anchor = hudEntity(world, {}, at);
    world.addComponent(anchor, new kit::AspectTranslation(at));
    for (std::size_t i = 0; i < icons.size(); ++i) {
        // The first icon on top: the later ones tuck under it.
        const float step = chipStep * static_cast<float>(i);
        const kit::EntityHandle chip = hudEntity(world, anchor, glm::vec3(step, 0.0f, -0.001f * float(i)));
        world.addComponent(chip, new kit::Sprite(kit::textureManager().prefetch(icons[i]), chipWidth, chipHeight,
                                                 -1.0f - 0.01f * static_cast<float>(i)));
    }
    kit::Text* text =
        addOutlinedText(world, anchor, "", glm::vec2(textLeft, -textSize * 0.4f), textSize, fineLinkColour, textLayer);
    return Row{origin, text};
}

void refresh(kit::World& world, const std::vector<Row>& rows)
{
    const kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    for (const Row& row : rows) {
        const std::optional<kit::LinkQuality> link = linkTo(&world, row.origin);
        const bool gone = !network || !network->peers().contains(row.origin);
        const std::string label = link ? linkLabel(*link) : gone ? "left" : "";
        if (label != row.text->text())
            setOutlinedText(row.text, label);
        row.text->colour = link ? linkColour(*link) : leftColour;
    }
}

} // namespace

void showLinkStrip(kit::World& world)
{
    // Every other copy's players, by copy, in id order (as every copy orders them).
    std::map<std::uint32_t, std::vector<std::string>> copies;
    for (const kit::EntityHandle& player : world.getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        const auto* info = world.getComponent<PlayerInfo>(player.id);
        if (info && !world.owns(player.id))
            copies[player.id.origin].push_back(info->hudIcon);
    }
    if (copies.empty())
        return;
    // Every row's words start in one column, after the most icons of a row.
    std::size_t most = 0;
    for (const auto& [origin, icons] : copies)
        most = std::max(most, icons.size());
    const float textLeft = chipStep * static_cast<float>(most - 1) + chipWidth * 0.5f + 0.015f;
    std::vector<Row> rows;
    for (const auto& [origin, icons] : copies)
        rows.push_back(addRow(world, origin, icons, static_cast<int>(rows.size()), textLeft));
    refresh(world, rows);
    world.addComponent(world.createEntity(),
                       new kit::UpdateSignal([&world, rows, since = 0.0f](kit::Component*, float dt) mutable {
                           since += dt;
                           if (since < refreshSeconds)
                               return;
                           since = 0.0f;
                           refresh(world, rows);
                       }));
}

} // namespace skyscuffle
