#include "PlayerFunctions.h"

#include "game/common/CallRefusals.h"
#include "game/players/PlayerInfo.h"
#include "game/players/Seats.h"
#include "game/players/Sides.h"

#include "game/common/Tags.h"
#include "game/players/PlayerColours.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <algorithm>
#include <iostream>

namespace skyscuffle {

namespace {

// Player numbers are the lowest free from 1 up; a simulator numbers its pilots.
constexpr int highestPlayerNumber = 1000;

// Whether another copy's player may sit here. The hosting copy seats the
// players in the order it hears of them, and passes on only those it seats;
// the others' copies are told. A joined copy takes its host's word, up to
// six players of other copies. (A copy's own players are its join screen's
// to count, and nobody else's ever push them out.)
bool seated(kit::World& world, kit::EntityID player, const PlayerTextureInfo& look)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    if (network && !network->isServer()) {
        std::size_t others = 0;
        for (const kit::EntityHandle& e : world.getEntities(kit::typeId<PlayerInfo>())->toVector())
            others += !world.owns(e.id);
        if (others < seatsInSession)
            return true;
        refuseCall(fn::spawnPersistantPlayer.name, "more players of other copies than a session holds");
        return false;
    }
    const SeatRefusal why = seatFor(world, look);
    if (why == SeatRefusal::none)
        return true;
    refuseCall(fn::spawnPersistantPlayer.name, reasonOf(why));
    if (network) {
        network->refuseRunningCall();
        turnAway(*network, player, why, look.colourName);
    }
    return false;
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
    // Only the table's looks: no path from a peer is ever opened. An older
    // replay's look is its row as the table has it now.
    const PlayerTextureInfo* row = colourRowOf(texture);
    if (!row) {
        refuseCall(fn::spawnPersistantPlayer.name, "a player's look that is none of the six colours");
        return;
    }
    const PlayerTextureInfo& look = *row;
    if (number < 1 || number > highestPlayerNumber) {
        refuseCall(fn::spawnPersistantPlayer.name, "a player number out of range");
        return;
    }
    if (!world->owns(entity.id) && !seated(*world, entity.id, look))
        return;
    auto* info = new PlayerInfo(look, static_cast<std::uint32_t>(number));
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
    network.registerFunction(fn::refuseSeat, &refuseSeat);
    registerSideFunctions(network);
    // What the game takes away by name, everywhere: a power that ends, a
    // wreck's power, a player's colour being settled.
    network.destroyableComponents = {tags::power, tags::bombPower, tags::gatlingGunPower, tags::shotgunPower,
                                     tags::playerInfo};
}

} // namespace skyscuffle
