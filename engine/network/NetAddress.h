#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

namespace kit {

// An IPv4 address and UDP port.
struct NetAddress {
    std::uint32_t ip = 0; // host byte order: 127.0.0.1 is 0x7F000001
    std::uint16_t port = 0;

    // "a.b.c.d|port"
    [[nodiscard]] std::string toString() const;
    // "a.b.c.d"
    [[nodiscard]] std::string ipString() const;

    // A dotted IPv4 address, or a host name looked up through the resolver.
    static std::optional<NetAddress> resolve(const std::string& host, std::uint16_t port);

    friend bool operator==(const NetAddress&, const NetAddress&) = default;
    // By port, then by address.
    friend std::strong_ordering operator<=>(const NetAddress& a, const NetAddress& b)
    {
        if (auto byPort = a.port <=> b.port; byPort != 0)
            return byPort;
        return a.ip <=> b.ip;
    }
};

} // namespace kit
