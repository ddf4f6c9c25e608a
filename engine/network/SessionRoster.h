#pragma once

#include "NetAddress.h"
#include "stream/NetStream.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

namespace kit {

// Who is in a session and where, as its hosting copy sees it. The host sends
// it to its clients, so that when the host goes every client knows the others
// and can reach whichever of them hosts next. The members come in the order
// they arrived in the session (as the hosts saw them), oldest first; the
// sequence number grows with every roster a host sends.
//
// SessionRoster packet (identifier 137, NetStream encoding), reliable-ordered
// on channel 1:
//   identifier 8 bits (137), host origin u32, game port u16, sequence u32,
//   then per other copy, oldest first, a 1 bit, its origin u32 and the IPv4
//   address (u32, a.b.c.d with a as the most significant byte) the host
//   reaches it at; a 0 bit ends.
struct SessionRoster {
    struct Member {
        std::uint32_t origin = 0;
        std::uint32_t ip = 0; // host byte order, as NetAddress::ip
        friend bool operator==(const Member&, const Member&) = default;
    };

    static constexpr std::uint8_t id = 137;
    // More than any session holds (a host accepts at most 65535 connections,
    // the game 16): a longer list from the wire is cut here.
    static constexpr std::size_t maxMembers = 256;

    std::uint32_t host = 0;
    std::uint16_t gamePort = 0;
    std::uint32_t sequence = 0;
    std::vector<Member> members; // the other copies, oldest first

    [[nodiscard]] NetStream encode() const;
    // The roster in a packet's bytes; nothing when not even the header is
    // there. A member named twice keeps its first place.
    static std::optional<SessionRoster> decode(const std::uint8_t* data, std::size_t size);

    [[nodiscard]] bool contains(std::uint32_t origin) const;
    [[nodiscard]] std::optional<Member> member(std::uint32_t origin) const;

    friend bool operator==(const SessionRoster&, const SessionRoster&) = default;
};

// The copy that hosts once the roster's host is gone: the member that has
// been in the session longest, leaving out the excluded ones (the host that
// went, and any that never answered). A copy that is no member of the roster
// is never picked, itself included; a copy that joined last never changes the
// pick of those that had not heard of it yet. Every copy holding the roster
// picks the same one. Nothing when no member is left.
std::optional<std::uint32_t> nextHost(const SessionRoster& roster, const std::set<std::uint32_t>& excluded);

// Where this copy reaches a member: at the address the host saw it at, except
// that a loopback address means "on the host's own machine", which this copy
// reaches at the host's address (unless it is on that machine itself).
NetAddress reachOf(const SessionRoster::Member& member, const NetAddress& host, std::uint16_t port);

} // namespace kit
