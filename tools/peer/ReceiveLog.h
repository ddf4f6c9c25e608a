#pragma once

#include "engine/network/NetPeer.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>

namespace peer {

// Prints what a hostile peer receives, one line per event: connection
// events, each named call (its name and entity), and once a second the
// state records heard per sender and type. Nothing from the wire is printed
// raw: names are shown as printable ASCII with other bytes escaped, cut short.
// Also keeps what scripts wait for.
class ReceiveLog {
public:
    explicit ReceiveLog(std::FILE* out) : out_(out) {}

    void handle(const kit::NetPeer::Packet& packet, double now);
    // The state summary of the second that ended, if one did (or now, when forced).
    void tick(double now, bool force = false);
    // Totals of the whole run.
    void summary();

    // The first other copy heard from, and every copy's last screen name.
    std::optional<std::uint32_t> firstCopy;
    std::map<std::uint32_t, std::string> screens;
    // Calls received per name (names as shown).
    std::map<std::string, long> calls;

    // Call lines printed per second at most; the rest are counted.
    static constexpr long callLinesPerSecond = 200;

private:
    void event(const char* what, const kit::NetPeer::Packet& packet);
    void state(const kit::NetPeer::Packet& packet);
    void remoteCalls(const kit::NetPeer::Packet& packet, double now);

    struct Heard {
        std::string screen;
        long packets = 0;
        std::map<std::string, long> records;
    };

    std::FILE* out_;
    std::map<std::uint32_t, Heard> second_; // this second's state, per sender origin
    double secondStart_ = 0.0;
    long callLines_ = 0;
    long callsUnshown_ = 0;
    long packets_ = 0;
    long callCount_ = 0;
    long records_ = 0;
    long malformed_ = 0;
};

} // namespace peer
