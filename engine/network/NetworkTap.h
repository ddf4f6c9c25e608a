#pragma once

#include <cstdint>
#include <span>

namespace kit {

// Sees what a copy makes of its session as it happens, for a recording that
// can be played back as if a host sent it: the call batches that ran here
// (this copy's own as they leave, a peer's as far as its calls passed the
// checks) and the StateUpdate packets (this copy's own as built, whether or
// not anyone is connected, and of a peer's the records that passed the
// checks and were applied, in a packet of their own). Nothing a peer sent
// that was refused here reaches a tap. Bytes are in the network's packet
// encoding and valid only during the call.
class NetworkTap {
public:
    virtual ~NetworkTap() = default;
    virtual void calls(std::span<const std::uint8_t> batch) = 0;
    virtual void state(std::span<const std::uint8_t> packet) = 0;
    // The network system goes first (its world is torn down): forget it.
    virtual void networkGone() = 0;
};

} // namespace kit
