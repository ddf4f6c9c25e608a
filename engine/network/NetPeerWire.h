#pragma once

// What NetPeer's files share of the wire below the game's packets: the
// reasons a connection ends, the hello, the raw ping, and ENet's addresses.
// Private to the NetPeer*.cpp files, as ENet is.

#include "NetAddress.h"

#include <enet/enet.h>

#include <netinet/in.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <random>

namespace kit {

// Why a connection ended, carried in ENet's disconnect data.
inline constexpr enet_uint32 reasonLost = 0; // what ENet reports for a time-out
inline constexpr enet_uint32 reasonGoodbye = 1;
inline constexpr enet_uint32 reasonFull = 2;
inline constexpr enet_uint32 reasonSelf = 3;
inline constexpr enet_uint32 reasonDuplicate = 4; // both sides connected at once; one connection is kept
inline constexpr enet_uint32 reasonVersion = 5;   // the two sides speak different versions of the protocol
inline constexpr enet_uint32 reasonTooOften = 6;  // the address opened too many connections of late

// Internal: each side's hello, sent once on connection: its id (4 bytes,
// big-endian) and the protocol version it speaks (4 bytes, big-endian). The
// accepting side says hello first; the connecting side answers with its own.
// A connection carries game packets only once both sides know each other's
// id and speak the same version. (The copies of before versions said hello
// with their id alone, and only the accepting side: see legacyProtocol.)
inline constexpr std::uint8_t helloChannel = 2;
inline constexpr std::size_t helloBytes = 8;
inline constexpr std::size_t legacyHelloBytes = 4;
// A connection opened to us whose hello has not come after this long is a
// copy that says no hello: one of before versions (NetPeer::setHelloWait).
// As long as the transport waits for any answer (a copy busy loading at its
// start answers late), so that a slow copy of this version is never taken
// for an old one.
inline constexpr auto defaultHelloWait = std::chrono::seconds(10);
inline constexpr std::size_t channelCount = 3;
inline constexpr enet_uint32 connectTimeoutMs = 6000; // about 12 attempts 500 ms apart
// The most a peer may have waiting for us (its largest packet: NetPeer.h).
inline constexpr std::size_t maximumWaitingBytes = 4 << 20;
// What a connection we opened may bring before the other side's hello: its
// data overtakes the hello when the hello is lost and resent, which on a lossy
// link takes seconds now and then. Reliable packets (calls) are kept, as the
// other side will not send them again; unreliable ones (state, sent anew 30
// times a second) are not.
inline constexpr std::size_t maximumEarlyPackets = 4096;
inline constexpr std::size_t maximumEarlyBytes = maximumWaitingBytes;

// Unconnected ping and pong, raw on the ENet socket and picked out of the
// incoming datagrams before ENet sees them:
//   FF FF 'S' 'k' 'y'  id (2 ping / 28 pong)  guid (4 bytes, big-endian)  flags (bit 0: only if accepting)
// ENet never sends FF FF first: that would be peer 0xFFF with the compression
// flag, and our hosts do not compress.
inline constexpr std::array<std::uint8_t, 5> rawMagic{0xFF, 0xFF, 'S', 'k', 'y'};
inline constexpr std::size_t rawSize = 11;

inline NetAddress fromEnet(const ENetAddress& a)
{
    return NetAddress{ntohl(a.host), a.port};
}

inline ENetAddress toEnet(const NetAddress& a)
{
    ENetAddress e{};
    e.host = htonl(a.ip);
    e.port = a.port;
    return e;
}

inline std::uint32_t randomGuid()
{
    std::random_device device;
    std::uniform_int_distribution<std::uint32_t> any(1, 0xFFFFFFFFu);
    return any(device);
}

inline void writeGuid(std::uint8_t* out, std::uint32_t guid)
{
    out[0] = static_cast<std::uint8_t>(guid >> 24);
    out[1] = static_cast<std::uint8_t>(guid >> 16);
    out[2] = static_cast<std::uint8_t>(guid >> 8);
    out[3] = static_cast<std::uint8_t>(guid);
}

inline std::uint32_t readGuid(const std::uint8_t* in)
{
    return (std::uint32_t(in[0]) << 24) | (std::uint32_t(in[1]) << 16) | (std::uint32_t(in[2]) << 8) | in[3];
}

} // namespace kit
