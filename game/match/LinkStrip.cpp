#include "LinkStrip.h"

#include "game/common/Tags.h"
#include "game/lobby/LinkLabel.h"
#include "game/looks/OutlinedText.h"
#include "game/looks/TextScale.h"
#include "game/match/HudLayout.h"
#include "game/players/PlayerInfo.h"
#include "game/players/Sides.h"

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
#include <memory>
#include <string>
#include <vector>

namespace skyscuffle {

namespace {

// Overlay units (the window is 2 high), at the designed text size: a row as
// tall as its icons, the words' line in it.
constexpr float rowHeight = 0.09f;
constexpr float designedChipWidth = 0.0675f, designedChipHeight = 0.09f; // the HUD icons' 3:4
constexpr float designedChipStep = 0.05f;                                // icons of one copy overlap a little
constexpr float textSize = 0.055f;
constexpr glm::vec2 firstRow{-0.96f, 0.93f}; // the first icon's middle; x as a fraction of the half-width
constexpr float textLayer = 0.0f;            // over the gauges' layers
constexpr glm::vec3 leftColour{0.7f, 0.7f, 0.7f};
constexpr float refreshSeconds = 1.0f;

// The strip at the player's text size: the words grow with it, the icons
// half as much.
struct Look {
    float text, chipWidth, chipHeight, chipStep, between;

    static Look now()
    {
        const float scale = textScale(), icons = 1.0f + 0.5f * (scale - 1.0f);
        return {textSize * scale, designedChipWidth * icons, designedChipHeight * icons, designedChipStep * icons,
                (rowHeight - textSize) * scale};
    }
    // A row with this many lines of words.
    [[nodiscard]] float row(std::size_t lines) const
    {
        return std::max(chipHeight, text * static_cast<float>(lines) + between);
    }
};

struct Row {
    std::uint32_t origin = 0;
    kit::EntityHandle anchor;
    kit::Text* text = nullptr;
    std::size_t lines = 1;
};

struct Strip {
    Look look;
    std::vector<Row> rows;
    float x = 0.0f;     // the first icons' middle, as a fraction of the half-width
    float top = 0.0f;   // the first row's
    float width = 0.0f; // the words' room from their origin
};

kit::EntityHandle hudEntity(kit::World& world, kit::EntityHandle parent, glm::vec3 at)
{
    const kit::EntityHandle e = world.createEntity();
    world.addComponent(e, new kit::Label(tags::hudSpace));
    world.addComponent(e, parent.world ? new kit::Transform(parent, at) : new kit::Transform(at));
    return e;
}

// One copy's row: its icons from the left edge, then its text from `textLeft`.
Row addRow(kit::World& world, const Look& look, std::uint32_t origin, const std::vector<std::string>& icons,
           float textLeft)
{
    const glm::vec3 at(0.0f);
    const kit::EntityHandle anchor = hudEntity(world, {}, at);
    world.addComponent(anchor, new kit::AspectTranslation(at));
    for (std::size_t i = 0; i < icons.size(); ++i) {
        // The first icon on top: the later ones tuck under it.
        const float step = look.chipStep * static_cast<float>(i);
        const kit::EntityHandle chip = hudEntity(world, anchor, glm::vec3(step, 0.0f, -0.001f * float(i)));
        world.addComponent(chip, new kit::Sprite(kit::textureManager().prefetch(icons[i]), look.chipWidth,
                                                 look.chipHeight, -1.0f - 0.01f * static_cast<float>(i)));
    }
    kit::Text* text = addOutlinedText(world, anchor, "", glm::vec2(textLeft, -look.text * 0.4f), look.text,
                                      fineLinkColour, textLayer);
    return Row{origin, anchor, text};
}

// The rows one under the other from the strip's top, each as tall as its
// lines, the lines level with the row's middle.
void layOut(kit::World& world, const Strip& strip)
{
    float y = strip.top;
    for (const Row& row : strip.rows) {
        const float height = strip.look.row(row.lines);
        const glm::vec3 at(strip.x, y - height * 0.5f, 0.0f);
        if (auto* pinned = world.getComponent<kit::AspectTranslation>(row.anchor.id))
            pinned->offset = at;
        if (auto* place = world.getComponent<kit::Transform>(row.anchor.id))
            place->position = glm::vec3(at.x * hud::aspect, at.y, at.z);
        const float first = strip.look.text * (-0.4f + 0.5f * static_cast<float>(row.lines - 1));
        const float shift = first - row.text->origin.y; // the outline keeps its offsets
        for (kit::Component* c : *world.componentsOf(row.anchor.id))
            if (c->hasTag(kit::typeId<kit::Text>()))
                static_cast<kit::Text*>(c)->origin.y += shift;
        y -= height;
    }
}

void refresh(kit::World& world, Strip& strip)
{
    const kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    bool moved = false;
    for (Row& row : strip.rows) {
        const std::optional<kit::LinkQuality> link = linkTo(&world, row.origin);
        const bool gone = !network || !network->peers().contains(row.origin);
        const std::vector<std::string> lines = hud::breakLines(link   ? linkLabel(*link)
                                                               : gone ? "left"
                                                                      : "",
                                                               strip.width, strip.look.text);
        const std::string label = hud::joined(lines);
        if (label != row.text->text())
            setOutlinedText(row.text, label);
        row.text->colour = link ? linkColour(*link) : leftColour;
        moved = moved || lines.size() != row.lines;
        row.lines = lines.size();
    }
    if (moved)
        layOut(world, strip);
}

} // namespace

void showLinkStrip(kit::World& world, bool rounds)
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
    auto strip = std::make_shared<Strip>();
    strip->look = Look::now();
    const Look& look = strip->look;
    // Every row's words start in one column, after the most icons of a row.
    std::size_t most = 0;
    for (const auto& [origin, icons] : copies)
        most = std::max(most, icons.size());
    const float textLeft = look.chipStep * static_cast<float>(most - 1) + look.chipWidth * 0.5f + 0.015f * textScale();
    // The icons keep their left edge as they grow.
    strip->x = firstRow.x + (look.chipWidth - designedChipWidth) * 0.5f / hud::aspect;
    const float outer = strip->x * hud::aspect - look.chipWidth * 0.5f, words = strip->x * hud::aspect + textLeft;
    // The words' room: beside the clock and what stands by it, for at least
    // a poor link's figure ("! 310 ms"), or under them; each row as tall as
    // the longest label needs there.
    const std::string longest = linkLabel(kit::LinkQuality{kit::LinkQuality::maxRoundTripMs, 0.99f});
    const auto heightFor = [&](float room) {
        const std::size_t lines = hud::breakLines(longest, room - (words - outer), look.text).size();
        return look.row(lines) * static_cast<float>(copies.size());
    };
    const hud::Corner place =
        hud::corner(true, outer, firstRow.y + rowHeight * 0.5f, words - outer + hud::advance(look.text) * 9.0f,
                    hud::topMiddle(world.single<TeamPlay>() != nullptr, rounds), heightFor);
    strip->top = place.top;
    strip->width = place.inner - words;
    for (const auto& [origin, icons] : copies)
        strip->rows.push_back(addRow(world, look, origin, icons, textLeft));
    layOut(world, *strip);
    refresh(world, *strip);
    world.addComponent(world.createEntity(),
                       new kit::UpdateSignal([&world, strip, since = 0.0f](kit::Component*, float dt) mutable {
                           since += dt;
                           if (since < refreshSeconds)
                               return;
                           since = 0.0f;
                           refresh(world, *strip);
                       }));
}

} // namespace skyscuffle
