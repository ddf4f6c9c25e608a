#include "NetAddress.h"

#include <arpa/inet.h>
#include <netdb.h>

namespace kit {

std::string NetAddress::ipString() const
{
    return std::to_string(ip >> 24) + "." + std::to_string((ip >> 16) & 0xFF) + "." + std::to_string((ip >> 8) & 0xFF) +
           "." + std::to_string(ip & 0xFF);
}

std::string NetAddress::toString() const
{
    return ipString() + "|" + std::to_string(port);
}

std::optional<NetAddress> NetAddress::resolve(const std::string& host, std::uint16_t port)
{
    in_addr parsed{};
    if (inet_pton(AF_INET, host.c_str(), &parsed) == 1)
        return NetAddress{ntohl(parsed.s_addr), port};

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return std::nullopt;
    const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    NetAddress address{ntohl(ipv4->sin_addr.s_addr), port};
    freeaddrinfo(found);
    return address;
}

} // namespace kit
