#pragma once

#include "engine/network/NetAddress.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace kit {

// Asks the router in front of this machine to forward a UDP port from the
// internet to it: through UPnP IGD, or NAT-PMP where no UPnP device answers.
// The asking happens on a thread of its own (a router may take seconds to
// answer, or never answer); a frame only reads the latest status. A mapping
// is taken for a lease and renewed at half of it while this object lives;
// destroyed, the mapping is removed (a crash leaves it for the rest of its
// lease at most).
class PortMapping {
public:
    enum class Outcome {
        asking,          // no answer yet
        mapped,          // the router forwards `external` to this machine
        noRouter,        // nothing answered: no UPnP device, no NAT-PMP gateway
        refused,         // a router answered but would not map the port
        privateExternal, // the router's own external address is private (a NAT behind it)
    };
    struct Status {
        Outcome outcome = Outcome::asking;
        NetAddress external;    // the router's address and the mapped port, once mapped
        std::string method;     // "UPnP" or "NAT-PMP", once mapped
        std::string routerSaid; // what the router answered, for the console
    };

    static constexpr std::chrono::seconds defaultLease{1800};

    explicit PortMapping(std::uint16_t port, std::chrono::seconds lease = defaultLease);
    ~PortMapping();
    PortMapping(const PortMapping&) = delete;
    PortMapping& operator=(const PortMapping&) = delete;

    [[nodiscard]] Status status() const;
    [[nodiscard]] std::uint16_t port() const { return port_; }

    // Whether an IPv4 address is one the internet cannot reach: private,
    // carrier-grade NAT, loopback, link-local, unspecified.
    [[nodiscard]] static bool isPrivate(std::uint32_t ip);

    // Stops every mapping's thread and waits while each that mapped a port
    // removes it (done at the end of the program by itself; a test may ask).
    // A thread still waiting for a router is not waited for.
    static void finishRemovals();

    struct Shared;

private:
    std::uint16_t port_;
    std::shared_ptr<Shared> shared_;
};

} // namespace kit
