#include "SessionWatch.h"

#include "game/lobby/JoiningPlayers.h"
#include "game/players/PlayerColours.h"

#include "game/players/PlayerFunctions.h"
#include "game/players/PlayerInfo.h"
#include "game/common/Tags.h"

#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <iostream>
#include <memory>
#include <set>

namespace skyscuffle {

namespace {

// What another player that came first (the smaller entity id) shares with
// this copy's player.
struct Clash {
    bool colour = false;
    bool number = false;
};

Clash clashOf(kit::World* world, const kit::EntityHandle& player, const PlayerInfo& info)
{
    Clash clash;
    for (const kit::EntityHandle& other : world->getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        const PlayerInfo* theirs = world->getComponent<PlayerInfo>(other.id);
        if (!(other.id < player.id) || !theirs)
            continue;
        clash.colour |= theirs->modelTexture == info.modelTexture;
        clash.number |= theirs->number == info.number;
    }
    return clash;
}

// Two copies that let a player join before they heard of each other's may
// have given the same colour or number twice. Every copy settles it the same
// way: the player with the smaller entity id keeps them, and the copy of the
// other one gives it a free colour or number everywhere, or, when no colour
// is left, removes it.
void settleColours(kit::World* world, kit::NetworkSystem& network)
{
    for (const kit::EntityHandle& player : world->getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        const PlayerInfo* info = world->getComponent<PlayerInfo>(player.id);
        if (!world->owns(player.id) || !info)
            continue;
        const Clash clash = clashOf(world, player, *info);
        if (!clash.colour && !clash.number)
            continue;
        std::optional<PlayerTextureInfo> colour =
            PlayerTextureInfo{info->colourName, info->modelTexture, info->hudIcon, info->colour};
        if (clash.colour)
            colour = newPlayerColour(world);
        if (!colour) {
            std::cout << "All six colours are taken: no room for another player\n";
            joining::removePlayer(world, player);
            continue;
        }
        const int number = clash.number ? nextPlayerNumber(world) : static_cast<int>(info->number);
        network.callFunction(kit::destroyComponentFunction, player.id, std::string(tags::playerInfo));
        network.callFunction(fn::spawnPersistantPlayer, player.id, *colour, number);
        std::cout << "Taken by another copy's player: this one is now " << colour->colourName << ", player " << number
                  << "\n";
    }
}

void follow(kit::World* world, std::set<std::uint32_t>& heard)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (!network)
        return;
    bool someoneNew = false;
    for (const auto& [origin, peer] : network->peers)
        someoneNew |= heard.insert(origin).second;
    if (someoneNew)
        network->callFunction(fn::requestPlayers, world->systemEntity());

    for (auto gone = heard.begin(); gone != heard.end();) {
        if (network->peers.contains(*gone)) {
            ++gone;
            continue;
        }
        int removed = 0;
        for (const kit::EntityHandle& player : world->getEntities(kit::typeId<PlayerInfo>())->toVector()) {
            if (player.id.origin == *gone) {
                world->destroyEntityNow(player);
                ++removed;
            }
        }
        if (removed > 0)
            std::cout << "A copy has left the session with " << removed << " players\n";
        gone = heard.erase(gone);
    }
    settleColours(world, *network);
}

} // namespace

void watchSession(kit::World* world)
{
    // Known from the start: the copies heard from so far and those whose
    // players came along from the last screen. One that left meanwhile (during
    // the match, or while this screen was being built) is missed on the
    // first frame and its players go.
    auto heard = std::make_shared<std::set<std::uint32_t>>();
    if (kit::NetworkSystem* network = kit::NetworkSystem::of(world)) {
        for (const auto& [origin, peer] : network->peers)
            heard->insert(origin);
    }
    for (const kit::EntityHandle& player : world->getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        if (!world->owns(player.id))
            heard->insert(player.id.origin);
    }
    world->emplaceComponent<kit::UpdateSignal>(world->createEntity(),
                                               [world, heard](kit::Component*, float) { follow(world, *heard); });
}

} // namespace skyscuffle
