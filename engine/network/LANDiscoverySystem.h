#pragma once

#include "Announcement.h"
#include "NetAddress.h"
#include "NetPeer.h"

#include "engine/core/Behavior.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kit {

// Finds the copies of the game on the local network. It keeps an endpoint of
// its own on the first free discovery port, pings the broadcast address on
// every discovery port at start, connects to every copy that answers, and
// tells them all, once per 1 / rate seconds and whenever asked, whether it
// hosts a session that can be joined and the match its session plays (the
// datagram: Announcement). The network screen lists the hosts.
class LANDiscoverySystem : public Behavior {
public:
    using RunningMatch = Announcement::RunningMatch;

    struct ServerInfo {
        NetAddress address;
        bool hosting = false;
        std::optional<RunningMatch> match{}; // the running match it announced, if any
    };

    static constexpr std::uint8_t announceId = Announcement::id;
    // How long an announced match stands without a word from its world.
    static constexpr float matchLease = 2.0f;

    LANDiscoverySystem(std::vector<std::uint16_t> ports, std::size_t maxConnections, float rate);

    // Connects to a copy at (address, port), or on every discovery port when port is 0.
    void connectTo(const std::string& address, std::uint16_t port);
    // The machine's IP address as other copies reach it.
    [[nodiscard]] std::string localIP() const;

    // The running match this copy hosts, as its world sees it now: told to
    // the others until matchLease seconds pass without another word (the
    // world ended, or this copy no longer hosts), and at once when it starts
    // or its players change.
    void announceMatch(const RunningMatch& running);
    [[nodiscard]] const std::optional<RunningMatch>& match() const { return match_; }

    void update(float dt) override;

    std::unique_ptr<NetPeer> peer;
    std::vector<std::uint16_t> ports;
    std::uint16_t boundPort = 0; // 0: no port could be bound, the system does nothing
    float rate;
    float timer = 0.0f;
    bool hosting = false;
    std::map<NetAddress, ServerInfo> servers;
    bool announceNow = false;
    std::size_t maxConnections;

private:
    std::optional<RunningMatch> match_;
    float matchLeft_ = 0.0f;

    void announce(const NetAddress* to);
    void handle(const NetPeer::Packet& packet);
};

} // namespace kit
