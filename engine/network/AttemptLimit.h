#pragma once

#include "TokenBucket.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>

namespace kit {

// How often one address may open a connection to this copy: a few at once,
// then one every few seconds. A copy open to the internet meets strangers
// that connect over and over, to fill its slots or to make it work; a friend
// who drops and comes back stays well within it. Addresses are IPv4, on the
// caller's clock in seconds. At most `tracked` addresses are remembered: when
// that many are, those whose budget has refilled are forgotten first, and if
// none has, the newcomer is refused (a flood from many addresses cannot grow
// the table without bound, and cannot flush a repeat offender out of it).
class AttemptLimit {
public:
    static constexpr float burst = 5.0f; // attempts at once
    static constexpr float perSecond = 1.0f / 6.0f;
    static constexpr std::size_t tracked = 4096;

    // Whether `ip` may open a connection now; counts the attempt when it may.
    bool allow(std::uint32_t ip, float now);

    [[nodiscard]] std::size_t size() const { return buckets_.size(); }

private:
    void forgetRefilled(float now);

    std::unordered_map<std::uint32_t, TokenBucket> buckets_;
};

} // namespace kit
