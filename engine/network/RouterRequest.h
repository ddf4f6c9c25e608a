#pragma once

#include "engine/network/PortMapping.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace kit {

// How a port was mapped, so that it is renewed and removed the same way.
enum class MappingWay { none, upnp, natPmp };

// One request for `port`: to the UPnP gateway if there is one, else to the
// NAT-PMP gateway, and what came of it. A template over the two routers so
// that the choices can be tried without a router; the port mapping's thread
// passes its miniupnpc and libnatpmp wrappers:
//   Upnp: int discover() (0 none, 1 a connected gateway, 2 a gateway that
//         says it is not connected, 3 a UPnP device that is no gateway),
//         std::optional<std::uint32_t> external(),
//         int map(port, lease) (0 on success, else the router's error);
//   NatPmp: std::optional<std::uint32_t> external(),
//         std::optional<std::uint16_t> map(port, lease, int& result) (the
//         public port mapped).
template <class Upnp, class NatPmp>
PortMapping::Status requestMapping(std::uint16_t port, std::chrono::seconds lease, Upnp& upnp, NatPmp& pmp,
                                   MappingWay& way)
{
    using Outcome = PortMapping::Outcome;
    const auto dotted = [](std::uint32_t ip) { return NetAddress{ip, 0}.ipString(); };
    PortMapping::Status status;
    way = MappingWay::none;
    const int igd = upnp.discover();
    if (igd == 1 || igd == 2) {
        const std::optional<std::uint32_t> external = upnp.external();
        if (!external || PortMapping::isPrivate(*external)) {
            status.outcome = Outcome::privateExternal;
            status.routerSaid =
                external ? "its external address is " + dotted(*external) : "it is not connected to the internet";
            return status;
        }
        if (const int error = upnp.map(port, lease); error != 0) {
            status.outcome = Outcome::refused;
            status.routerSaid = "UPnP error " + std::to_string(error);
            return status;
        }
        way = MappingWay::upnp;
        status.outcome = Outcome::mapped;
        status.external = NetAddress{*external, port};
        status.method = "UPnP";
        return status;
    }
    const std::optional<std::uint32_t> external = pmp.external();
    if (!external) {
        status.outcome = Outcome::noRouter;
        status.routerSaid = "no UPnP or NAT-PMP answer";
        return status;
    }
    if (PortMapping::isPrivate(*external)) {
        status.outcome = Outcome::privateExternal;
        status.routerSaid = "its external address is " + dotted(*external);
        return status;
    }
    int result = 0;
    const std::optional<std::uint16_t> mapped = pmp.map(port, lease, result);
    if (!mapped || *mapped == 0) {
        status.outcome = Outcome::refused;
        status.routerSaid = "NAT-PMP result " + std::to_string(result);
        return status;
    }
    way = MappingWay::natPmp;
    status.outcome = Outcome::mapped;
    status.external = NetAddress{*external, *mapped};
    status.method = "NAT-PMP";
    return status;
}

} // namespace kit
