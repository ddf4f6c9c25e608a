#include "DropIn.h"

#include "MatchSettings.h"
#include "MatchStart.h"

#include "game/common/Tags.h"
#include "game/lobby/JoiningPlayers.h"
#include "game/match/MatchFunctions.h"
#include "game/match/PlayerPlane.h"
#include "game/match/SpawnCircle.h"
#include "game/players/PlayerFunctions.h"
#include "game/players/PlayerInfo.h"
#include "game/players/Seats.h"
#include "game/replays/PlaneFollow.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Transform.h"

#include <algorithm>
#include <limits>

namespace skyscuffle {

namespace {

constexpr int spawnPlaces = 8;

std::size_t planesIn(kit::World& world)
{
    return world.getEntities(kit::tagId(tags::plane))->size();
}

// The place on the spawn circle whose nearest plane is furthest away.
SpawnPlacement freestPlace(kit::World& world)
{
    SpawnPlacement best = spawnPlacement(0, spawnPlaces, layoutOf(&world));
    float bestDistance = -1.0f;
    for (int i = 0; i < spawnPlaces; ++i) {
        const SpawnPlacement place = spawnPlacement(i, spawnPlaces, layoutOf(&world));
        float nearest = std::numeric_limits<float>::max();
        for (const kit::EntityHandle& plane : world.getEntities(kit::tagId(tags::plane))->toVector()) {
            if (const auto* at = world.getComponent<kit::Transform>(plane.id))
                nearest = std::min(nearest, glm::length(at->position - place.position));
        }
        if (nearest > bestDistance) {
            bestDistance = nearest;
            best = place;
        }
    }
    return best;
}

} // namespace

bool flies(const kit::World& world, kit::EntityID player)
{
    return world.entityHasTag(player, kit::tagId(tags::plane));
}

void askToDropIn(kit::World& world, const MatchState& state, int device, kit::Joystick* joystick)
{
    if (!state.started || state.ended)
        return;
    if (!state.dropInOpen) {
        kit::log::info() << "This match takes no one more: its host has drop-in off";
        return;
    }
    if (planesIn(world) >= seatsInSession) {
        kit::log::info() << "Every seat of the match is taken";
        return;
    }
    if (playedRules(state).mode == Mode::lastPlaneStanding && !state.rounds.pauseLeft)
        kit::log::info() << "A round runs: the player flies from the next";
    kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    if (!network)
        return;
    if (const auto player = joining::humanPlayer(&world, device)) {
        const auto* info = world.getComponent<PlayerInfo>(player->id);
        if (!info || flies(world, player->id))
            return;
        // Announced again: the other copies have not heard of it in this session.
        const PlayerTextureInfo row{info->colourName, info->modelTexture, info->hudIcon, info->colour};
        network->callFunction(fn::spawnPersistantPlayer, player->id, row, static_cast<int>(info->number));
        kit::log::info() << "Player " << info->number << " asks to drop in";
    } else if (const auto number = joining::addPlayer(&world, device, joystick, false)) {
        kit::log::info() << "Player " << *number << " asks to drop in";
    }
}

void seatDroppingPlayers(kit::World& world, kit::NetworkSystem& network, MatchState& state)
{
    if (!matchSettings::dropIn.value())
        return;
    // A round of last plane standing is fought by the planes it began with:
    // a player drops in between rounds, and flies from the next.
    if (playedRules(state).mode == Mode::lastPlaneStanding && !state.rounds.pauseLeft)
        return;
    for (const kit::EntityHandle& player : world.getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        if (world.owns(player.id) || flies(world, player.id) || state.seated.contains(player.id))
            continue;
        const auto copy = network.peers().find(player.id.origin);
        if (copy == network.peers().end() || !watchesMatch(copy->second.screenName))
            continue;
        // Seats given whose planes have not come yet are taken too.
        const auto onTheirWay = std::count_if(state.seated.begin(), state.seated.end(),
                                              [&](kit::EntityID id) { return !flies(world, id); });
        if (planesIn(world) + static_cast<std::size_t>(onTheirWay) >= seatsInSession)
            continue;
        seatPlayer(world, network, state, player.id);
        kit::log::info() << "A player drops into the match";
    }
}

void seatPlayer(kit::World& world, kit::NetworkSystem& network, MatchState& state, kit::EntityID player)
{
    const SpawnPlacement place = freestPlace(world);
    state.seated.insert(player);
    network.callFunction(fn::dropIn, world.systemEntity(), player, place.position, place.rotation);
}

void takeSeatInMatch(kit::World& world, MatchState& state, kit::EntityID player, glm::vec3 position, glm::quat rotation)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    if (!network || !state.started || state.ended || !world.owns(player) || !world.getComponent<PlayerInfo>(player) ||
        flies(world, player))
        return;
    network->callFunction(fn::spawnPlayer, player, position, rotation);
    if (!flies(world, player))
        return;             // a place no plane may take
    state.droppedIn = true; // a new plane comes shielded
    network->screenName = "game";
    // This copy plays now: its own planes' gauges, and the camera on everyone.
    std::vector<kit::EntityHandle> mine;
    for (const kit::EntityHandle& plane : world.getEntities(kit::tagId(tags::plane))->toVector()) {
        if (world.owns(plane.id))
            mine.push_back(kit::EntityHandle{plane.id, &world});
    }
    showGauges(world, mine);
    planeFollow::follow(world, "");
    kit::log::info() << "Dropped into the match";
}

bool mayLaunch(const kit::NetworkSystem& network, const MatchState& state, std::optional<std::uint32_t> caller,
               kit::EntityID player)
{
    if (!network.isServer() || !caller || caller == network.origin())
        return true;
    const auto copy = network.peers().find(*caller);
    return copy == network.peers().end() || !watchesMatch(copy->second.screenName) || state.seated.contains(player);
}

} // namespace skyscuffle
