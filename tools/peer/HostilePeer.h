#pragma once

#include "ReceiveLog.h"
#include "Script.h"
#include "ValueWriter.h"

#include "engine/network/NetPeer.h"
#include "engine/network/stream/NetStream.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace peer {

// A copy of the game without a window: it hosts or joins through the
// engine's own transport and sends what its script says, in the game's
// encoding, whatever the values; it prints what it receives (ReceiveLog).
// Everything it sends goes to every connection it has.
class HostilePeer {
public:
    HostilePeer(std::FILE* out, std::uint32_t origin);
    ~HostilePeer();

    // Runs the script to its end: 0, or 1 when a step failed (a port that
    // would not open, a wait that timed out); the reason goes to stderr.
    int run(const Script& script);

private:
    using Clock = std::chrono::steady_clock;

    bool execute(const std::vector<Command>& commands);
    bool execute(const Command& command);
    bool waitFor(const Command& command, const std::function<bool()>& done, const char* what);
    bool loop(const Command& command);
    // Receives and prints, and sends the heartbeat when due.
    void service();
    void idleUntil(Clock::time_point until);
    double now() const;

    void appendCall(kit::NetStream& batch, const Command& call);
    void appendRecord(kit::NetStream& packet, const Command& record);
    void startState(kit::NetStream& packet);
    void sendBatch(const std::vector<Command>& body);
    void send(const kit::NetStream& packet, std::size_t bytes, bool reliable);

    std::FILE* out_;
    kit::NetPeer peer_;
    ReceiveLog log_;
    RunContext context_;
    std::string screen_ = "lobby";
    double heartbeatRate_ = 0.0;
    Clock::time_point nextHeartbeat_;
    Clock::time_point start_;
    std::string joinedAddress_;
    std::uint16_t joinedPort_ = 0;
    bool joined_ = false;    // the last session command was a join, not a host
    bool connected_ = false; // a joined connection was established since that join
    long sent_ = 0;
    long unsent_ = 0; // packets no connection took (none yet, or refused by the transport)
};

} // namespace peer
