#include "Session.h"

#include "SimulatorSetup.h"

#include "game/combat/MatchEvents.h"
#include "game/lobby/DepartedCopies.h"
#include "game/match/MatchFunctions.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/network/HostMigration.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <thread>
#include <utility>

using namespace skyscuffle;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto framePeriod = std::chrono::microseconds(16667);
// The host waits this long after hearing every expected copy, for their
// players' announcements (reliable calls, resent under loss) to arrive.
constexpr float settleSeconds = 2.0f;
// A client retries its connection this often while it has none: the host
// may not be up yet, or the first attempt may have failed.
constexpr float rejoinSeconds = 8.0f;
constexpr float lingerSeconds = 3.0f;

// Seconds since the epoch, to line events up with other processes' logs.
double wallClock()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

const char* said(kit::NetworkSystem::Departure why)
{
    switch (why) {
    case kit::NetworkSystem::Departure::left:
        return "left";
    case kit::NetworkSystem::Departure::lost:
        return "lost";
    case kit::NetworkSystem::Departure::silent:
        return "silent";
    }
    return "?";
}

// This copy's players, announced to every copy again (a no-op where known).
void announceOwnPlayers(kit::World& world)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    if (!network)
        return;
    for (const kit::EntityHandle& player : world.getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        const auto* info = world.getComponent<PlayerInfo>(player.id);
        if (!info || !world.owns(player.id))
            continue;
        network->callFunction(fn::spawnPersistantPlayer, player.id,
                              PlayerTextureInfo{info->colourName, info->modelTexture, info->hudIcon, info->colour},
                              static_cast<int>(info->number));
    }
}

} // namespace

Session::Session(const SimulatorOptions& options, kit::NetworkSystem& network)
    : network_(network), hosting_(options.hostPort != 0), joining_(!options.joinHost.empty()),
      hostPort_(options.hostPort), joinHost_(options.joinHost), joinPort_(options.joinPort), copies_(options.copies),
      lobbySeconds_(options.lobbySeconds)
{
    network_.migration().reachPort = options.rejoinPort;
    watchHost();
}

void Session::watchHost()
{
    kit::HostMigration& migration = network_.migration();
    hostWatch_.emplace_back(migration.hostLost.connect([this](std::uint32_t host) {
        const double now = wallClock();
        std::printf("host %08x gone at wall %.3f, last heard at wall %.3f, ", host, now,
                    now - network_.migration().secondsSinceHostHeard());
        if (inMatch_)
            std::printf("match time %.2f s\n", static_cast<double>(matchFrames_) * frameTime);
        else
            std::printf("in the lobby\n");
        std::fflush(stdout);
    }));
    hostWatch_.emplace_back(migration.resumed.connect([this](std::uint32_t host) {
        const kit::HostMigration::Outcome outcome = network_.migration().outcome();
        const char* how = outcome == kit::HostMigration::Outcome::hostsSession ? " (this copy)"
                          : outcome == kit::HostMigration::Outcome::alone      ? " (this copy, alone)"
                                                                               : "";
        std::printf("play resumed on host %08x%s at wall %.3f\n", host, how, wallClock());
        std::fflush(stdout);
    }));
}

bool Session::open()
{
    if (networked())
        std::printf("copy origin %08x\n", network_.origin());
    if (hosting_) {
        network_.host(hostPort_, 16);
        return network_.peer->isActive();
    }
    if (joining_) {
        network_.join(joinHost_, joinPort_);
        return network_.peer->isActive();
    }
    return true;
}

void Session::setUpLobby(kit::World* world)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (!network)
        return;
    network->screenName = "lobby";
    network->registerFunction(*world, fn::requestPlayers, [](kit::EntityHandle entity) {
        if (entity.world)
            announceOwnPlayers(*entity.world);
    });
}

void Session::announcePlayers(kit::World& world)
{
    // Run here too: this copy announces its own, and every copy it reaches
    // answers with theirs.
    network_.callFunction(fn::requestPlayers, world.systemEntity());
}

bool Session::gather(kit::Application& app)
{
    if (!networked())
        return true;
    const auto deadline = Clock::now() + std::chrono::duration<double>(lobbySeconds_);
    float settled = 0.0f;
    float sinceJoin = 0.0f;
    nextFrame_ = Clock::now();
    for (;;) {
        app.frame(frameTime, false);
        pace();
        kit::World& lobby = *app.current;
        for (const auto& [origin, peer] : network_.peers())
            heard_.insert(origin);
        if (Clock::now() > deadline) {
            std::cerr << "the session did not gather within " << lobbySeconds_ << " s\n";
            return false;
        }
        const bool connected = network_.peer->connectionCount() > 0;
        const kit::HostMigration& migration = network_.migration();
        // A copy that lost its first host goes by its network system: it
        // joined the next host, hosts in its place, or is on its own.
        const bool movedOn = migration.outcome() != kit::HostMigration::Outcome::none || migration.seeking();
        if (!network_.isServer()) {
            sinceJoin += frameTime;
            if (!connected) {
                announced_ = false;
                if (!movedOn && sinceJoin > rejoinSeconds) {
                    network_.join(joinHost_, joinPort_);
                    sinceJoin = 0.0f;
                }
                continue;
            }
            if (!announced_) {
                announcePlayers(lobby);
                announced_ = true;
            }
            bool hostPlays = false;
            for (const auto& [origin, peer] : network_.peers())
                hostPlays = hostPlays || peer.screenName == "game";
            if (hostPlays)
                break;
        } else {
            const bool complete = movedOn ? migration.awaited().empty()
                                          : network_.peers().size() + 1 >= static_cast<std::size_t>(copies_);
            settled = complete ? settled + frameTime : 0.0f;
            if (settled >= settleSeconds)
                break;
        }
    }
    // Players of copies that left since the last match stay behind otherwise.
    // (A copy whose players came before its first state was heard has not left.)
    kit::World& lobby = *app.current;
    for (const kit::EntityHandle& player : lobby.getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        const std::uint32_t origin = player.id.origin;
        if (!lobby.owns(player.id) && heard_.contains(origin) && !network_.peers().contains(origin) &&
            removeCopy(lobby, origin).players > 0)
            std::printf("lobby: the players of copy %08x are no longer in the session\n", origin);
    }
    return true;
}

void Session::pace()
{
    ++matchFrames_;
    if (!networked())
        return;
    const auto now = Clock::now();
    if (inMatch_ && now - secondStart_ >= std::chrono::seconds(1)) {
        const kit::NetworkSystem::Traffic& t = network_.traffic;
        peakCalls_ = std::max(peakCalls_, t.callsRun - atSecondStart_.callsRun);
        peakEntities_ = std::max(peakEntities_, t.entitiesMadeByCalls - atSecondStart_.entitiesMadeByCalls);
        peakRecords_ = std::max(peakRecords_, t.recordsApplied - atSecondStart_.recordsApplied);
        atSecondStart_ = t;
        secondStart_ = now;
    }
    // A copy that fell well behind starts afresh rather than racing to catch up.
    if (nextFrame_ < now - std::chrono::milliseconds(100))
        nextFrame_ = now;
    nextFrame_ += framePeriod;
    if (nextFrame_ > now)
        std::this_thread::sleep_until(nextFrame_);
}

void Session::beginMatch(kit::World& match)
{
    matchStart_ = Clock::now();
    trafficAtStart_ = network_.traffic;
    secondStart_ = matchStart_;
    atSecondStart_ = trafficAtStart_;
    peakCalls_ = peakEntities_ = peakRecords_ = 0;
    wireAtStart_ = network_.peer->wireTotals();
    connections_.clear();
    if (!networked())
        return;
    std::printf("match start at wall %.3f\n", wallClock());
    std::fflush(stdout);
    kit::World* world = &match;
    matchFrames_ = 0;
    inMatch_ = true;
    // Extra handlers beside the game's own, for the match clock's wall times.
    network_.registerFunction(match, fn::startGameplay, [](kit::EntityHandle) {
        std::printf("clock started at wall %.3f\n", wallClock());
        std::fflush(stdout);
    });
    network_.registerFunction(match, fn::endGame, [this, told = false](kit::EntityHandle, const ScoreTable&) mutable {
        if (std::exchange(told, true))
            return; // the match ends on the first
        std::printf("clock ended at wall %.3f, match time %.2f s\n", wallClock(),
                    static_cast<double>(matchFrames_) * frameTime);
        std::fflush(stdout);
    });
    // Every kill and death scored here, for netfault to compare across copies.
    connections_.emplace_back(MatchEvents::killScored().connect([world](kit::EntityHandle plane) {
        if (plane.world == world)
            std::printf("scored kill %08x:%u at wall %.3f\n", plane.id.origin, plane.id.serial, wallClock());
    }));
    connections_.emplace_back(MatchEvents::deathScored().connect([world](kit::EntityHandle plane) {
        if (plane.world == world)
            std::printf("scored death %08x:%u at wall %.3f\n", plane.id.origin, plane.id.serial, wallClock());
    }));
    connections_.emplace_back(
        network_.copyGone.connect([this, world](std::uint32_t origin, kit::NetworkSystem::Departure why) {
            std::printf("noticed copy %08x gone (%s) at wall %.3f, match time %.2f s, planes left %zu\n", origin,
                        said(why), wallClock(), static_cast<double>(matchFrames_) * frameTime,
                        world->getEntities(kit::tagId("plane"))->size());
            std::fflush(stdout);
        }));
}

void Session::linger(kit::Application& app)
{
    if (!networked())
        return;
    nextFrame_ = Clock::now();
    for (float t = 0.0f; t < lingerSeconds; t += frameTime) {
        app.frame(frameTime, false);
        pace();
    }
}

void Session::endMatch(int match, float matchSeconds)
{
    connections_.clear();
    inMatch_ = false;
    if (!networked())
        return;
    const double wallSeconds = std::chrono::duration<double>(Clock::now() - matchStart_).count();
    const auto seconds = static_cast<double>(matchSeconds);
    const kit::NetworkSystem::Traffic& t = network_.traffic;
    const kit::NetPeer::WireTotals wire = network_.peer->wireTotals();
    // The transport's totals start again when a new host's session opens.
    auto rate = [seconds](std::uint64_t now, std::uint64_t then) {
        return seconds > 0.0 ? static_cast<double>(now >= then ? now - then : now) / seconds : 0.0;
    };
    std::printf("bandwidth match %d over %.1f s of match (%.1f s of wall clock), bytes per second: state sent %.0f "
                "received %.0f, calls sent %.0f received %.0f, wire sent %.0f received %.0f\n",
                match, seconds, wallSeconds, rate(t.stateSent, trafficAtStart_.stateSent),
                rate(t.stateReceived, trafficAtStart_.stateReceived), rate(t.callsSent, trafficAtStart_.callsSent),
                rate(t.callsReceived, trafficAtStart_.callsReceived), rate(wire.sent, wireAtStart_.sent),
                rate(wire.received, wireAtStart_.received));
    auto since = [](std::uint64_t now, std::uint64_t then) { return now >= then ? now - then : now; };
    std::printf("from peers match %d: calls run %llu (at most %llu in a second), dropped %llu; entities their calls "
                "made %llu (at most %llu in a second); records applied %llu (at most %llu in a second), dropped %llu\n",
                match, static_cast<unsigned long long>(since(t.callsRun, trafficAtStart_.callsRun)),
                static_cast<unsigned long long>(peakCalls_),
                static_cast<unsigned long long>(since(t.callsDropped, trafficAtStart_.callsDropped)),
                static_cast<unsigned long long>(since(t.entitiesMadeByCalls, trafficAtStart_.entitiesMadeByCalls)),
                static_cast<unsigned long long>(peakEntities_),
                static_cast<unsigned long long>(since(t.recordsApplied, trafficAtStart_.recordsApplied)),
                static_cast<unsigned long long>(peakRecords_),
                static_cast<unsigned long long>(since(t.recordsDropped, trafficAtStart_.recordsDropped)));
    std::fflush(stdout); // the match's report with it, for whoever watches the log
}
