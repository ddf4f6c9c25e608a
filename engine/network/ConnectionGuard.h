#pragma once

#include "NetAddress.h"
#include "NetworkLimits.h"
#include "TokenBucket.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kit {

// A copy's origin as the console shows it: eight hexadecimal digits.
[[nodiscard]] std::string originText(std::uint32_t origin);

// What a copy knows and allows of one of its connections. On the hosting
// copy a connection is one copy, named by the origin of its first state
// packet; its call batches wait until that is known, so that every call is
// judged knowing who made it. Its budgets bound what it can make this copy
// do per second, and its refusals reach the console at most once a second.
class ConnectionGuard {
public:
    ConnectionGuard(NetAddress address, const NetworkLimits& limits);

    // Keeps a call batch until the connection's copy is known; false (the
    // batch dropped) when the connection already has as much waiting as it may.
    bool hold(const std::vector<std::uint8_t>& batch);
    // The batches held so far, oldest first; none are left.
    std::vector<std::vector<std::uint8_t>> takeHeld();

    // Tells the console (standard error) why something of this connection was
    // dropped: the first refusal after a quiet second at once, the others
    // counted and told with the next line.
    void refuse(float now, std::string_view what);

    // "address|port", with the copy's origin when known.
    [[nodiscard]] std::string name() const;

    NetAddress address;
    std::optional<std::uint32_t> origin; // on the hosting copy, once known
    TokenBucket calls;
    TokenBucket entities;
    TokenBucket records;
    float lastUsed = 0.0f; // on the network system's clock

private:
    const NetworkLimits& limits_;
    std::deque<std::vector<std::uint8_t>> held_;
    std::size_t heldBytes_ = 0;
    bool told_ = false;
    float toldAt_ = 0.0f;
    unsigned untold_ = 0;
};

} // namespace kit
