#pragma once

#include "game/screens/TypedAddress.h"

#include "engine/network/NetAddress.h"

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace kit {
class LANDiscoverySystem;
}

namespace skyscuffle {

// Looks for a copy of the game at a typed address through LAN discovery,
// without ever holding up a frame: a host name is looked up on a thread of
// its own (a name server may take seconds to answer), then the discovery
// endpoint connects to the address's discovery port (every discovery port
// when none was typed), and each frame's poll says whether the copy there
// answered and announced a session, until `patience` seconds have passed.
class AddressSearch {
public:
    enum class Outcome {
        looking,               // no word yet
        hosting,               // a copy there hosts a session: the screen can list it
        answersWithoutSession, // a copy answered but hosts no session
        noAnswer,              // nothing answered in time, or every attempt failed
        unknownHost,           // the host name does not resolve
        noDiscovery,           // this copy's LAN discovery has no port open to look with
    };

    AddressSearch(TypedAddress address, float patience);

    // One frame of looking, `dt` seconds long; anything but `looking` is the end.
    Outcome poll(kit::LANDiscoverySystem* discovery, float dt);

    [[nodiscard]] const TypedAddress& address() const { return address_; }

private:
    // The host name's look-up, shared with the thread that does it: the thread
    // writes `found`, then sets `done`, and never touches either again.
    struct Lookup {
        std::optional<kit::NetAddress> found;
        std::atomic<bool> done{false};
    };

    [[nodiscard]] std::vector<kit::NetAddress> candidates(const kit::LANDiscoverySystem& discovery) const;

    TypedAddress address_;
    float patience_;
    float waited_ = 0.0f;
    std::optional<kit::NetAddress> resolved_; // the IPv4 address, port 0
    std::shared_ptr<Lookup> lookup_;
    bool connecting_ = false;
};

} // namespace skyscuffle
