#include "MatchReturn.h"

#include "MatchStart.h"

#include "game/combat/Score.h"
#include "game/common/CallRefusals.h"
#include "game/common/Tags.h"
#include "game/lobby/ComeBack.h"
#include "game/match/DropIn.h"
#include "game/match/ScoreTable.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <algorithm>
#include <ctime>

namespace skyscuffle {

namespace {

constexpr float noteEvery = 2.0f; // seconds

// What a copy that goes leaves: its players' colours, numbers and points.
void rememberDeparted(kit::World& world, MatchState& state, std::uint32_t origin)
{
    const auto ticket = state.tickets.find(origin);
    if (!state.started || state.ended || ticket == state.tickets.end())
        return;
    std::vector<MatchState::LeftPlayer> left;
    for (const kit::EntityHandle& player : world.getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        const auto* info = world.getComponent<PlayerInfo>(player.id);
        if (player.id.origin != origin || !info)
            continue;
        const auto* score = world.getComponent<Score>(player.id);
        left.push_back({info->colourName, static_cast<int>(info->number), score ? score->points : 0});
        kit::log::info() << "Kept for its return: " << info->colourName << " " << left.back().points << " points";
    }
    if (!left.empty())
        state.departed[ticket->second] = std::move(left);
}

// On the copy that came back: the player of its note with that colour and
// number is made again and announced (the host then seats it).
void restoreWelcomed(kit::World& world, MatchState& state, const std::string& colourName, std::int32_t number)
{
    if (!state.comingBack)
        return;
    std::vector<comeBack::Note::Player>& players = state.comingBack->players;
    const auto player = std::find_if(players.begin(), players.end(), [&](const comeBack::Note::Player& p) {
        return p.colourName == colourName && p.number == number;
    });
    if (player == players.end())
        return;
    comeBack::Note one = *state.comingBack;
    one.players = {*player};
    players.erase(player);
    if (comeBack::restorePlayers(world, one) == 1)
        kit::log::info() << "Back in the match: " << colourName;
    if (players.empty()) {
        state.comingBack.reset();
        forgetMatchNote();
    }
}

// A copy that crashed and came back soon may still be here as it was: its
// link not yet given up for lost. Its secret proves it is the same copy, so
// the hosting copy lets the old one go now, and keeps what it had; unless
// the old one still speaks (another copy that read its note: it only watches).
void letGoOfLastRun(kit::NetworkSystem& network, const MatchState& state, comeBack::Fingerprint proven,
                    std::uint32_t newRun)
{
    constexpr float silentFor = 1.0f; // seconds: a running copy sends its state many times a second
    for (const auto& [origin, ticket] : state.tickets) {
        const auto record = network.peers().find(origin);
        const bool speaks = record != network.peers().end() && network.clock() - record->second.heardAt < silentFor;
        if (ticket == proven && origin != newRun && origin != network.origin() && !speaks) {
            const std::uint32_t old = origin; // the map changes as the copy goes
            network.forgetPeers([old](const kit::NetworkSystem::PeerRecord& r) { return r.origin == old; },
                                kit::NetworkSystem::Departure::lost);
            return;
        }
    }
}

} // namespace

void registerReturnFunctions(kit::World& world, const std::shared_ptr<MatchState>& state)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    if (!network)
        return;
    network->registerFunction(world, fn::copyTicket,
                              [state](kit::EntityHandle copy, std::uint32_t high, std::uint32_t low) {
                                  if (copy.id.serial == 0)
                                      state->tickets[copy.id.origin] = comeBack::Fingerprint{high, low};
                              });
    network->registerFunction(
        world, fn::comeBack, [state](kit::EntityHandle copy, std::uint32_t high, std::uint32_t low) {
            kit::World* w = copy.world;
            kit::NetworkSystem* n = kit::NetworkSystem::of(w);
            const comeBack::Fingerprint proven =
                comeBack::fingerprintOf((static_cast<std::uint64_t>(high) << 32) | static_cast<std::uint64_t>(low));
            if (n && n->isServer() && !state->departed.contains(proven))
                letGoOfLastRun(*n, *state, proven, copy.id.origin);
            const auto left = state->departed.find(proven);
            if (!w || !n || copy.id.serial != 0 || left == state->departed.end()) {
                refuseCall(fn::comeBack.name, "a copy that did not leave this match");
                if (n)
                    n->refuseRunningCall();
                return;
            }
            std::vector<MatchState::LeftPlayer> players = std::move(left->second);
            state->departed.erase(left); // once
            if (!n->isServer() || w->owns(copy.id))
                return;
            kit::log::info() << "A copy came back to the match with " << players.size()
                             << (players.size() == 1 ? " player" : " players");
            for (const MatchState::LeftPlayer& player : players)
                n->callFunction(fn::welcomeBack, w->systemEntity(), copy.id.origin, player.colourName,
                                static_cast<std::int32_t>(player.number));
            state->returning[copy.id.origin] = std::move(players);
        });
    network->registerFunction(
        world, fn::welcomeBack,
        [state](kit::EntityHandle host, std::uint32_t copy, const std::string& colourName, std::int32_t number) {
            if (host.world && host.world->origin == copy)
                restoreWelcomed(*host.world, *state, colourName, number);
        });
    network->registerFunction(
        world, fn::pointsBack, [](kit::EntityHandle host, kit::EntityID plane, std::int32_t points) {
            if (!host.world)
                return;
            if (auto* score = host.world->getComponent<Score>(plane)) {
                const ScoreTable bounded = knownPlanes(ScoreTable{ScoreEntry{plane, points}}, *host.world);
                score->points = bounded.empty() ? 0 : bounded.front().points;
                const auto* info = host.world->getComponent<PlayerInfo>(plane);
                kit::log::info() << (info ? info->colourName : std::string("A plane")) << " is back with "
                                 << score->points << " points";
            }
        });
    // Before the departed copy's planes are taken out (removeDepartedCopies).
    kit::World* w = &world;
    world.connections.emplace_back(network->copyGone.connect(
        [w, state](std::uint32_t origin, kit::NetworkSystem::Departure) { rememberDeparted(*w, *state, origin); }));
}

void announceTicket(kit::World& world)
{
    if (kit::NetworkSystem* network = kit::NetworkSystem::of(&world)) {
        const comeBack::Fingerprint mine = comeBack::fingerprintOf(comeBack::secret());
        network->callFunction(fn::copyTicket, world.systemEntity(), mine.high, mine.low);
    }
}

void seatReturningPlayers(kit::World& world, kit::NetworkSystem& network, MatchState& state)
{
    for (auto copy = state.returning.begin(); copy != state.returning.end();) {
        std::vector<MatchState::LeftPlayer>& left = copy->second;
        for (const kit::EntityHandle& player : world.getEntities(kit::typeId<PlayerInfo>())->toVector()) {
            const auto* info = world.getComponent<PlayerInfo>(player.id);
            if (player.id.origin != copy->first || !info || flies(world, player.id) || state.seated.contains(player.id))
                continue;
            const auto was = std::find_if(left.begin(), left.end(), [&](const MatchState::LeftPlayer& l) {
                return l.number == static_cast<int>(info->number);
            });
            if (was == left.end())
                continue;
            state.pointsBack[player.id] = was->points;
            seatPlayer(world, network, state, player.id);
            left.erase(was);
        }
        copy = left.empty() ? state.returning.erase(copy) : std::next(copy);
    }
}

void givePointsBack(kit::World& world, kit::NetworkSystem& network, MatchState& state)
{
    for (auto it = state.pointsBack.begin(); it != state.pointsBack.end();) {
        if (!world.getComponent<PlayerInfo>(it->first)) {
            it = state.pointsBack.erase(it); // it left again
        } else if (flies(world, it->first)) {
            network.callFunction(fn::pointsBack, world.systemEntity(), it->first, it->second);
            it = state.pointsBack.erase(it);
        } else {
            ++it;
        }
    }
}

void keepMatchNote(kit::World& world, MatchState& state, float dt)
{
    state.sinceNote += dt;
    if (!keepsMatchNotes() || state.sinceNote < noteEvery || !state.started || state.ended ||
        (state.view.watching && !state.droppedIn))
        return;
    state.sinceNote = 0.0f;
    if (const std::optional<comeBack::Note> note =
            comeBack::noteOf(world, static_cast<std::int64_t>(std::time(nullptr))))
        comeBack::keep(*note);
}

bool& keepsMatchNotes()
{
    static bool keeps = false;
    return keeps;
}

void forgetMatchNote()
{
    if (keepsMatchNotes())
        comeBack::forget();
}

} // namespace skyscuffle
