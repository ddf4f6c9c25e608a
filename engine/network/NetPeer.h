#pragma once

#include "LinkQuality.h"
#include "NetAddress.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kit {

// One UDP endpoint of the game, built on ENet: connections to other copies,
// datagrams on two ordered channels, connection events as packets, and
// unconnected pings answered on the same socket. Not thread-safe; it does its
// work when `receive` is called, so it must be polled regularly (every frame).
//
// Channel 0 carries unreliable, sequenced datagrams (late ones are dropped);
// channel 1 reliable, ordered ones. Every delivered packet's first byte is its
// message identifier (MessageIdentifiers.h); connection events are packets
// holding that byte alone.
class NetPeer {
public:
    enum class Reliability { unreliableSequenced, reliableOrdered };
    enum class ConnectionState { notConnected, connecting, connected };

    struct Packet {
        std::vector<std::uint8_t> data;
        NetAddress sender;
        std::uint64_t guid = 0; // the sending copy's id, unique per peer for the run
        [[nodiscard]] std::uint8_t id() const { return data.empty() ? 0 : data[0]; }
    };

    // What the game's packets mean, as this version of the game speaks it.
    // Copies of different versions refuse each other's connections: each is
    // told with an incompatibleProtocol packet (its byte, then the other
    // side's version, u32 big-endian; 0 when unknown).
    // 4: the host's rules carry the mode, rounds to win, friendly fire and arena.
    // 5: the players' colours are new ones, which a copy of 4 takes for no colour of its own.
    static constexpr std::uint32_t protocolVersion = 5;
    // The copies of before versions, which said no version at all (a peer
    // made with it behaves as they did, for tests).
    static constexpr std::uint32_t legacyProtocol = 1;

    // The largest packet a peer may send us: game packets are a few kilobytes
    // (16 planes of state are about 3 KB).
    static constexpr std::size_t maximumPacketBytes = 1 << 20;

    explicit NetPeer(std::uint32_t protocol = protocolVersion);
    NetPeer(const NetPeer&) = delete;
    NetPeer& operator=(const NetPeer&) = delete;
    // Drops every connection with an immediate notice.
    ~NetPeer();

    // Opens the socket on `port` of every local address (0: an ephemeral
    // port) for up to maxConnections connections. False when the port is taken.
    bool start(std::uint16_t port, std::size_t maxConnections);
    [[nodiscard]] bool isActive() const;
    // How many of the connections may be opened by others; 0 refuses them all.
    void setMaximumIncomingConnections(std::size_t count);
    // Tells every connection goodbye, waits up to `block` for the notices to
    // leave, and closes the socket.
    void shutdown(std::chrono::milliseconds block = std::chrono::milliseconds(10));
    // Closes the socket at once and tells nobody, as a copy that crashed or
    // lost its network would: the others hear only silence.
    void abandon();

    // Starts connecting; the outcome arrives as a packet (accepted, failed,
    // server full). Tries for about six seconds. False when the address does
    // not resolve, a connection to it exists already, or no slot is free.
    bool connect(const std::string& host, std::uint16_t port);

    // Copies the bytes into a datagram to one connection. False if not connected.
    bool send(const std::uint8_t* data, std::size_t size, Reliability reliability, std::uint8_t channel,
              const NetAddress& to);
    // The same to every connection, except one if given. Returns how many
    // connections it was queued for.
    std::size_t broadcast(const std::uint8_t* data, std::size_t size, Reliability reliability, std::uint8_t channel,
                          std::optional<NetAddress> except = std::nullopt);

    // The next packet, after doing the endpoint's pending work. False when none is waiting.
    bool receive(Packet& out);

    // An unconnected ping (255.255.255.255 reaches the whole local network);
    // endpoints answer with a pong packet, only if they accept connections when
    // `onlyIfAcceptingConnections` is set. Pings are answered here and not delivered.
    void ping(const std::string& host, std::uint16_t port, bool onlyIfAcceptingConnections);

    [[nodiscard]] ConnectionState connectionState(const NetAddress& address) const;
    // The transport's figures for a connection (its mean round trip and the
    // share of reliable packets it had to resend, both smoothed over the last
    // seconds); nothing while it is not connected.
    [[nodiscard]] std::optional<LinkQuality> linkQuality(const NetAddress& address) const;
    // Figures as ENet keeps them, in the game's terms: a round trip in
    // milliseconds and a loss in parts of 65536 (ENET_PEER_PACKET_LOSS_SCALE).
    [[nodiscard]] static LinkQuality transportLink(std::uint32_t roundTripMs, std::uint32_t packetLoss);
    [[nodiscard]] std::size_t connectionCount() const;
    [[nodiscard]] std::uint16_t boundPort() const;
    [[nodiscard]] std::uint64_t guid() const;
    // Each address may open a few connections at once and then one every few
    // seconds (AttemptLimit); more are refused, as failed attempts on its
    // side. Copies on this machine are not counted, unless a test asks.
    void limitAttemptsFromLoopback(bool limited);
    // Time without acknowledgement after which an established connection counts as lost.
    void setTimeout(std::chrono::milliseconds timeout);
    // How long a connection opened to us may take to say hello before it
    // counts as a copy of another version (ten seconds).
    void setHelloWait(std::chrono::milliseconds wait);

    // Every UDP byte this endpoint sent and received since it started: the
    // game's packets with the transport's own headers, acknowledgements,
    // resends and keep-alive pings. Zero while not started.
    struct WireTotals {
        std::uint64_t sent = 0;
        std::uint64_t received = 0;
    };
    [[nodiscard]] WireTotals wireTotals() const;

    // This machine's first IPv4 address that is not loopback (127.0.0.1 when there is none).
    static std::string localIPv4();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace kit
