#include "PlayerColours.h"

#include "game/common/Random.h"
#include "game/common/Tags.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/Translation.h"
#include "engine/core/World.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>

namespace skyscuffle {

namespace {

// The PlayerInfo of every entity labelled "player".
template <class F> void forEachPlayer(kit::World* world, F&& visit)
{
    for (const kit::EntityHandle& player : world->getEntities(kit::tagId(tags::player))->toVector()) {
        if (const PlayerInfo* info = world->getComponent<PlayerInfo>(player.id))
            visit(*info);
    }
}

} // namespace

const std::array<PlayerTextureInfo, 6>& playerColours()
{
    // Each RGB is its livery's base colour (tools/art/plane_paint.py). Light and dark as well as
    // hue keep every two rows apart to eyes that miss red, green or blue (PlayerPaletteTest).
    static const std::array<PlayerTextureInfo, 6> table = {{
        {kit::trLater("Blue"),
         "models/playerPlane/playerFinalTexture.png",
         "sprites/HUD/plane3.png",
         {0.0f, 0.44f, 0.96f}},
        {kit::trLater("Green"),
         "models/playerPlane/player_texture_green.png",
         "sprites/HUD/plane2.png",
         {0.26f, 0.48f, 0.29f}},
        {kit::trLater("Orange"),
         "models/playerPlane/player_texture_orange.png",
         "sprites/HUD/plane1.png",
         {0.97f, 0.47f, 0.0f}},
        {kit::trLater("Red"),
         "models/playerPlane/player_texture_red.png",
         "sprites/HUD/plane6.png",
         {0.49f, 0.0f, 0.04f}},
        {kit::trLater("Pink"),
         "models/playerPlane/player_texture_pink.png",
         "sprites/HUD/plane7.png",
         {1.0f, 0.6f, 0.86f}},
        {kit::trLater("Yellow"),
         "models/playerPlane/player_texture_yellow.png",
         "sprites/HUD/plane5.png",
         {1.0f, 0.93f, 0.02f}},
    }};
    return table;
}

const PlayerTextureInfo* colourRowOf(const PlayerTextureInfo& look)
{
    // The RGB of each row before the colours were moved apart for eyes that
    // miss red, green or blue, in the table's order: older replays carry them.
    static constexpr glm::vec3 former[] = {{0.3f, 0.6f, 0.8f}, {0.3f, 0.7f, 0.3f}, {0.8f, 0.5f, 0.1f},
                                           {0.8f, 0.4f, 0.3f}, {0.8f, 0.4f, 0.5f}, {0.8f, 0.8f, 0.1f}};
    const auto& rows = playerColours();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const PlayerTextureInfo& row = rows[i];
        if (look == row)
            return &row;
        if (look.colourName == row.colourName && look.modelTexture == row.modelTexture && look.hudIcon == row.hudIcon &&
            look.colour == former[i])
            return &row;
    }
    return nullptr;
}

std::optional<PlayerTextureInfo> newPlayerColour(kit::World* world)
{
    std::array<PlayerTextureInfo, 6> rows = playerColours();
    // Fisher-Yates; the generator's 32 bits make the bias of the modulo negligible.
    for (std::size_t i = rows.size() - 1; i > 0; --i)
        std::swap(rows[i], rows[Random::next() % (i + 1)]);

    std::set<std::string> worn;
    forEachPlayer(world, [&](const PlayerInfo& info) { worn.insert(info.modelTexture); });
    for (const PlayerTextureInfo& row : rows) {
        if (!worn.contains(row.modelTexture))
            return row;
    }
    return std::nullopt;
}

glm::vec3 brightColour(glm::vec3 colour)
{
    const float largest = std::max({colour.r, colour.g, colour.b});
    return largest > 0.0f ? colour / largest : glm::vec3(1.0f);
}

int nextPlayerNumber(kit::World* world)
{
    std::set<std::uint32_t> taken;
    for (const kit::EntityHandle& e : world->getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        if (const PlayerInfo* info = world->getComponent<PlayerInfo>(e.id))
            taken.insert(info->number);
    }
    int number = 1;
    while (taken.contains(static_cast<std::uint32_t>(number)))
        ++number;
    return number;
}

} // namespace skyscuffle
