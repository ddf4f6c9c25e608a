#pragma once

#include <cstddef>
#include <cstdint>

namespace kit {

// What a replay's records add up to, each checked against the bounds of a
// replay (ReplayLimits.h) as it comes, in time order: the recorder asks
// before it keeps a record and the reader before it takes one, so that a
// recording never holds what its reader would refuse.
class ReplayTally {
public:
    enum class Verdict {
        fits,       // counted
        badSize,    // empty, or larger than the transport's largest packet
        busySecond, // its second has all the records a second may have
        full,       // the file has all the records, or bytes, it may have
    };

    // A record of `bytes` (as the network had it) at `milliseconds`: counted
    // if it fits, else left as it was.
    Verdict admit(std::uint32_t milliseconds, std::size_t bytes);

    [[nodiscard]] std::size_t records() const { return records_; }
    // The records' bytes and nine more for each, as the file counts them.
    [[nodiscard]] std::size_t bytes() const { return bytes_; }

    // Nine bytes of each record in the file: its kind, time and length.
    static constexpr std::size_t recordOverhead = 9;

private:
    std::size_t records_ = 0;
    std::size_t bytes_ = 0;
    std::uint32_t second_ = 0;
    std::size_t inSecond_ = 0;
};

} // namespace kit
