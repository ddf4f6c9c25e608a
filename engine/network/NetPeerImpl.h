#pragma once

// NetPeer's connections over ENet: the state of each, and what is waiting
// to be received. Private to the NetPeer*.cpp files, as ENet is.

#include "AttemptLimit.h"
#include "NetPeer.h"
#include "NetPeerWire.h"

#include <enet/enet.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <vector>

namespace kit {

struct NetPeer::Impl {
    struct Link {
        bool incoming = false;
        bool established = false; // both sides know each other's id and version
        std::uint32_t guid = 0;
        std::vector<Packet> early; // reliable ones that came before the hello: delivered right after it
        std::size_t earlyBytes = 0;
        std::chrono::steady_clock::time_point opened = std::chrono::steady_clock::now();
        bool refused = false; // told already: its end is no news

        // Game packets go to a connection once it is known, and to one opened
        // to us from the moment our hello left: they reach the other side
        // after our hello, and nothing sent meanwhile is lost.
        [[nodiscard]] bool sendable() const { return established || (incoming && !refused); }
    };

    explicit Impl(std::uint32_t protocol) : protocol(protocol) {}

    ENetHost* host = nullptr;
    std::uint32_t protocol;
    std::chrono::steady_clock::duration helloWait = defaultHelloWait;
    std::uint32_t guid = randomGuid();
    std::size_t maxIncoming = 0;
    enet_uint32 timeoutMs = 10000;
    std::deque<Packet> inbox;
    std::unordered_map<ENetPeer*, Link> links;
    WireTotals wire; // ENet's counters folded in, since the socket opened
    AttemptLimit attempts;
    bool limitsLoopback = false;
    std::chrono::steady_clock::time_point born = std::chrono::steady_clock::now();
    float toldTooOftenAt = -1.0f;

    [[nodiscard]] float seconds() const
    {
        return std::chrono::duration<float>(std::chrono::steady_clock::now() - born).count();
    }

    // ENet's intercept hook has no user pointer: the peer being serviced.
    static thread_local Impl* servicing;

    void deliver(std::uint8_t id, const ENetAddress& from, std::uint32_t sender)
    {
        inbox.push_back(Packet{{id}, fromEnet(from), sender});
    }

    std::size_t incomingCount() const
    {
        std::size_t n = 0;
        for (const auto& [peer, link] : links)
            n += link.incoming;
        return n;
    }

    void sendRaw(const ENetAddress& to, std::uint8_t id, bool onlyIfAccepting);

    static int ENET_CALLBACK intercept(ENetHost* h, ENetEvent*);

    bool legacy() const { return protocol == NetPeer::legacyProtocol; }

    void sendHello(ENetPeer* peer);

    // The other side speaks another version: both sides are told, and the
    // connection ends. `version` is the other side's (legacyProtocol for a
    // hello without one).
    void refuse(ENetPeer* peer, Link& link, std::uint32_t version);

    // The hello ends the wait: the link carries game packets, those that came
    // early first, or it ends for another version.
    void hello(ENetPeer* peer, Link& link, const ENetPacket& packet);

    // Connections opened to us that never said hello.
    void refuseSilent();

    void onConnect(const ENetEvent& event);

    void onReceive(const ENetEvent& event);

    void onDisconnect(const ENetEvent& event);

    void pump();

    ENetPeer* find(const NetAddress& address) const
    {
        for (const auto& [peer, link] : links) {
            if (fromEnet(peer->address) == address)
                return peer;
        }
        return nullptr;
    }

    void close()
    {
        if (host)
            enet_host_destroy(host);
        host = nullptr;
        links.clear();
        inbox.clear();
        wire = {};
    }
};

} // namespace kit
