#pragma once

#include <cstdint>

namespace skyscuffle {

namespace audio {

// How a sound plays: once, or over and over until stopped.
enum class Mode { oneShot = 1, loop = 2 };

// A channel playing (or reserved for) one sound. Stale handles, whose sound
// ended and whose channel went to another sound, do nothing.
struct Channel {
    int index = -1;
    std::uint32_t generation = 0;

    explicit operator bool() const { return index >= 0; }
};

} // namespace audio

} // namespace skyscuffle
