#pragma once

#include "engine/core/Signal.h"
#include "engine/network/NetPeer.h"
#include "engine/network/NetworkSystem.h"

#include <chrono>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace kit {
class Application;
class World;
} // namespace kit

struct SimulatorOptions;

// The simulated time of one frame: a game frame at 60 a second.
inline constexpr float frameTime = 1.0f / 60.0f;

// One simulator copy's part in a networked match: it hosts or joins, waits
// in a lobby until the session is complete, paces its frames to the wall
// clock (the transport's timers are real time), and measures what it sent and
// received. When the host goes, the session carries on under the next host
// (the network system's HostMigration): this copy says when it noticed and
// when play resumed, with wall times, and a lobby then waits for the copies
// still in the session. Without --host or --join it does nothing and the
// match runs alone, as fast as the machine allows.
class Session {
public:
    Session(const SimulatorOptions& options, kit::NetworkSystem& network);

    [[nodiscard]] bool networked() const { return hosting_ || joining_; }
    // Opens the game port or connects to the host. False when it cannot.
    bool open();

    // A lobby world's setup: the screen name "lobby" and the answer to
    // "requestPlayers" (this copy announces its players again).
    static void setUpLobby(kit::World* world);

    // Runs lobby frames until the match can begin: the host once every
    // expected copy has been heard (a copy that hosts in its host's place:
    // every copy still in the session is back) and has had time to announce
    // its players, a client once the host shows its game. Players of copies no
    // longer in the session are taken out first. False after --lobby-seconds.
    bool gather(kit::Application& app);

    // Sleeps until the next frame is due on the wall clock (networked only).
    void pace();
    // Notes the match's start and, in the match world, each departed copy
    // with the wall time at which it was noticed, every kill and death scored
    // (with its wall time), and the wall times at which the match clock
    // started and ended.
    void beginMatch(kit::World& match);
    // Prints the bandwidth of the match just played, per second of match
    // time (the network system's clock: 30 state packets a second of it),
    // and stops watching for departures.
    void endMatch(int match, float matchSeconds);
    // After the last match: lobby frames for a few seconds more, so that the
    // calls still on their way (the end of the match, resent after a loss)
    // reach the other copies before this one says goodbye.
    void linger(kit::Application& app);

private:
    void announcePlayers(kit::World& world);
    void watchHost();

    kit::NetworkSystem& network_;
    bool hosting_ = false;
    bool joining_ = false;
    std::uint16_t hostPort_ = 0;
    std::string joinHost_;
    std::uint16_t joinPort_ = 0;
    int copies_ = 1;
    float lobbySeconds_ = 120.0f;
    bool announced_ = false; // a client announces its players once connected
    long matchFrames_ = 0;   // frames paced since the match began
    bool inMatch_ = false;

    std::chrono::steady_clock::time_point nextFrame_;
    std::chrono::steady_clock::time_point matchStart_;
    kit::NetworkSystem::Traffic trafficAtStart_;
    kit::NetPeer::WireTotals wireAtStart_;
    // What the peers made this copy do in the busiest second of the match:
    // the calls of theirs it ran, the entities those made, their records applied.
    std::chrono::steady_clock::time_point secondStart_;
    kit::NetworkSystem::Traffic atSecondStart_;
    std::uint64_t peakCalls_ = 0, peakEntities_ = 0, peakRecords_ = 0;
    std::vector<kit::ScopedConnection> connections_;
    std::vector<kit::ScopedConnection> hostWatch_; // for the whole run
    std::set<std::uint32_t> heard_;                // every copy heard from in a lobby
};
