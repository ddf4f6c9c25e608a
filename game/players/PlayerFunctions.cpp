#include "PlayerFunctions.h"

#include "game/common/CallRefusals.h"
#include "game/players/PlayerInfo.h"

#include "game/players/PlayerColours.h"
#include "game/common/Tags.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <algorithm>
#include <iostream>

namespace skyscuffle {

namespace {

// Players in a session, across all its copies.
constexpr std::size_t mostPlayers = 6;
// Player numbers are the lowest free from 1 up; a simulator numbers its pilots.
constexpr int highestPlayerNumber = 1000;

bool isColourRow(const PlayerTextureInfo& texture)
{
    const auto& rows = playerColours();
    return std::find(rows.begin(), rows.end(), texture) != rows.end();
}

// Whether a player of another copy fits in with the ones here. A session
// holds six, and the ones that came first (the smaller entity ids, as when
// colours clash) keep their places, so every copy that hears of the same
// players keeps the same six whatever the order it heard them in: a
// newcomer that came before the last one here takes its place, and that one
// leaves (everywhere, if it is this copy's own). A player whose plane flies
// already is not pushed out of its match.
bool makeRoom(kit::World& world, kit::EntityID newcomer)
{
    for (;;) {
        const std::vector<kit::EntityHandle> players = world.getEntities(kit::typeId<PlayerInfo>())->toVector();
        if (players.size() < mostPlayers)
            return true;
        const kit::EntityHandle last = players.back(); // ordered by id
        if (!(newcomer < last.id) || world.getComponent(last.id, kit::tagId("transform")))
            return false;
        kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
        if (world.owns(last.id) && network) {
            std::cout << "All six colours are taken: no room for another player\n";
            network->callFunction(kit::destroyEntityFunction, last.id);
        } else {
            world.destroyEntityNow(last);
        }
    }
}

} // namespace

void spawnPersistantPlayer(kit::EntityHandle entity, const PlayerTextureInfo& texture, int number)
{
    // A system entity is never a player, and neither is anything already in
    // the scene (a call naming a bullet or a wall).
    kit::World* world = entity.world;
    if (!world || entity.id.serial == 0 || world->getComponent<PlayerInfo>(entity.id) ||
        world->entityHasTag(entity.id, kit::tagId("transform")))
        return;
    // Only the table's looks: no path from a peer is ever opened.
    if (!isColourRow(texture)) {
        refuseCall(fn::spawnPersistantPlayer.name, "a player's look that is none of the six colours");
        return;
    }
    if (number < 1 || number > highestPlayerNumber) {
        refuseCall(fn::spawnPersistantPlayer.name, "a player number out of range");
        return;
    }
    // This copy's own players are its join screen's to count.
    if (!world->owns(entity.id) && !makeRoom(*world, entity.id)) {
        refuseCall(fn::spawnPersistantPlayer.name, "a seventh player: the session holds six");
        return;
    }
    auto* info = new PlayerInfo(texture, static_cast<std::uint32_t>(number));
    info->addTag(kit::tagId(tags::persistant));
    world->addComponent(entity, info);
    // Players of every copy are found by this label (targets, colours, announcements).
    if (!world->entityHasTag(entity.id, kit::tagId(tags::player))) {
        auto* label = new kit::Label(tags::player);
        label->addTag(kit::tagId(tags::persistant));
        world->addComponent(entity, label);
    }
}

void registerPlayerFunctions(kit::NetworkSystem& network)
{
    network.registerFunction(fn::spawnPersistantPlayer, &spawnPersistantPlayer);
    // What the game takes away by name, everywhere: a power that ends, a
    // wreck's power, a player's colour being settled.
    network.destroyableComponents = {tags::power, tags::bombPower, tags::gatlingGunPower, tags::shotgunPower,
                                     tags::playerInfo};
}

} // namespace skyscuffle
