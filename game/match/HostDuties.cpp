#include "HostDuties.h"

#include "game/match/MatchStart.h"

#include "game/common/ArenaLayout.h"
#include "game/common/Tags.h"
#include "game/match/DropIn.h"
#include "game/match/MatchFunctions.h"
#include "game/match/MatchReturn.h"
#include "game/match/MatchSettings.h"
#include "game/match/MatchSoFar.h"
#include "game/match/RoundKeeper.h"
#include "game/match/TeamMarks.h"
#include "game/match/Timer.h"
#include "game/players/PlayerInfo.h"
#include "game/players/Sides.h"
#include "game/powerups/PowerupSpawnSystem.h"

#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/network/NetworkSystem.h"

#include <algorithm>
#include <cmath>

namespace skyscuffle {

namespace {

// Copies that came to watch are not waited for: they fly nothing.
bool everyCopyShowsItsGame(const kit::NetworkSystem& network)
{
    for (const auto& [origin, peer] : network.peers()) {
        if (peer.screenName != "game" && !watchesMatch(peer.screenName))
            return false;
    }
    return true;
}

// A copy that came to watch is told how the match stands, once a second
// while some copy still waits for it (the word is for all; a copy that has it
// already, or plays, ignores it). Beyond the watchers the match takes, a
// copy that arrives is turned away instead.
// The players' planes come a round trip after the start, and a plane that
// came after the word would have no gauge: the word waits for them, a few
// seconds at most.
void tellWatchers(kit::World& world, kit::NetworkSystem& network, MatchState& state)
{
    constexpr float every = 1.0f;
    constexpr float planesWait = 3.0f;
    std::vector<std::uint32_t> arriving;
    int watching = 0;
    for (const auto& [origin, peer] : network.peers()) {
        if (peer.screenName == arrivingScreen)
            arriving.push_back(origin);
        watching += peer.screenName == watchingScreen;
    }
    if (arriving.empty() || (state.soFarToldAt && network.clock() - *state.soFarToldAt < every))
        return;
    const std::size_t players = world.getEntities(kit::typeId<PlayerInfo>())->size();
    const std::size_t planes = world.getEntities(kit::tagId(tags::plane))->size();
    if (planes < players && state.runningFor < planesWait)
        return;
    state.soFarToldAt = network.clock();
    const auto room = static_cast<std::size_t>(std::max(matchSettings::watchers.value() - watching, 0));
    for (std::size_t i = room; i < arriving.size(); ++i)
        network.callFunction(fn::turnWatcherAway, world.systemEntity(), arriving[i]);
    if (room == 0)
        return;
    const Timer* clock = world.single<Timer>();
    MatchSoFar soFar = matchSoFar(world, clock ? clock->remaining : 0.0f);
    soFar.dropIn = matchSettings::dropIn.value();
    // The rules first: a watcher plays them from the word on; in last plane
    // standing, the round it comes to.
    const MatchRules rules = playedRules(state);
    network.callFunction(fn::matchRules, world.systemEntity(), rules);
    if (rules.mode == Mode::lastPlaneStanding)
        network.callFunction(fn::roundsSoFar, world.systemEntity(), state.rounds.over);
    network.callFunction(fn::matchSoFar, world.systemEntity(), soFar);
    tellSides(world); // the players the word makes, on their sides
}

// The pick-ups come as often as the rules say: their share of the usual
// rate, which grows with the players; none at all when they are off.
void runSpawner(kit::World& world, bool hosting, const MatchRules& rules)
{
    kit::ComponentCollection* spawners = world.getComponentCollection(kit::typeId<PowerupSpawnSystem>());
    const float share = pickupShare(rules.pickups);
    if (hosting && share > 0.0f && spawners->empty()) {
        const float players = share * static_cast<float>(world.getEntities(kit::typeId<PlayerInfo>())->size());
        const ArenaLayout& arena = layoutOf(&world);
        world.addComponent(world.createEntity(), new PowerupSpawnSystem((arena.pickupLow + arena.pickupHigh) * 0.5f,
                                                                        arena.pickupHigh - arena.pickupLow, players));
    } else if (!hosting && !spawners->empty()) {
        for (kit::Component* spawner : spawners->toVector())
            delete world.removeComponent(spawner);
    }
}

// Copies on the LAN see the match that this copy's session plays, how long
// it has left and how many play it. Only a session's host tells it, and only
// while its match runs: the word lapses soon after.
void announceMatch(kit::World& world, const kit::NetworkSystem& network)
{
    using Running = kit::Announcement::RunningMatch;
    auto* discovery = world.single<kit::LANDiscoverySystem>();
    const Timer* clock = world.single<Timer>();
    if (!discovery || !clock || !network.peer || !network.peer->isActive())
        return;
    const float rounded = std::ceil(clock->remaining);
    const float left = rounded > 0.0f ? std::min(rounded, static_cast<float>(Running::longest)) : 0.0f;
    const std::size_t players = world.getEntities(kit::typeId<PlayerInfo>())->size();
    discovery->announceMatch(Running{static_cast<std::uint16_t>(left),
                                     static_cast<std::uint8_t>(std::min<std::size_t>(players, Running::mostPlayers))});
}

} // namespace

void takeHostDuties(kit::World& world, const std::shared_ptr<MatchState>& state)
{
    world.addComponent(world.createEntity(), new kit::UpdateSignal([state](kit::Component* self, float dt) {
                           kit::World& w = *self->world;
                           kit::NetworkSystem* network = kit::NetworkSystem::of(&w);
                           const bool hosting = !network || network->isServer();
                           if (!state->started) {
                               if (hosting && network && everyCopyShowsItsGame(*network)) {
                                   // The rules first: every copy plays the host's.
                                   network->callFunction(fn::matchRules, w.systemEntity(), chosenRules());
                                   tellSides(w); // for a team match: every copy plays the host's sides
                                   network->callFunction(fn::startGameplay, w.systemEntity());
                               }
                               if (!state->started)
                                   return;
                           }
                           state->runningFor += dt;
                           keepMatchNote(w, *state, dt);
                           runSpawner(w, hosting && !state->ended, playedRules(*state));
                           keepRounds(w, *state, hosting, dt);
                           markSides(w, state->badged);
                           if (hosting && network && !state->ended) {
                               announceMatch(w, *network);
                               tellWatchers(w, *network, *state);
                               seatReturningPlayers(w, *network, *state);
                               seatDroppingPlayers(w, *network, *state);
                               givePointsBack(w, *network, *state);
                           }
                       }));
}

} // namespace skyscuffle
