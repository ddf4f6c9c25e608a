#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skyscuffle {

// An address the player typed to look for a copy of the game that the
// broadcast does not reach: a dotted IPv4 address ("192.168.1.20") or a host
// name ("lanbox", "games.example.org"), with an optional ":port", the port
// that copy's LAN discovery listens on (without one, every discovery port).
struct TypedAddress {
    std::string host;       // without the port
    std::uint16_t port = 0; // 0: every discovery port
    bool dotted = false;    // a dotted IPv4 address, which needs no look-up

    // "host" or "host:port".
    [[nodiscard]] std::string text() const;

    // Blanks around the address are dropped. Nothing for anything else: an
    // empty text, an IPv4 part above 255 or with a leading zero, a host name
    // with characters or labels a host name cannot have (or all digits, as a
    // broken IPv4 address would be), a port outside 1 to 65535.
    static std::optional<TypedAddress> parse(std::string_view typed);
};

} // namespace skyscuffle
