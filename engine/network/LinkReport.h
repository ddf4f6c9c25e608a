#pragma once

#include "LinkQuality.h"
#include "stream/NetStream.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kit {

// What the hosting copy measures of its link to each joined copy, sent to
// them all about once a second: joined copies reach one another only through
// the host, so each adds its own leg to the host's (LinkWatch).
//
// LinkReport packet (identifier 139, NetStream encoding), unreliable on
// channel 0 (a lost one is followed by the next):
//   identifier 8 bits (139), count u16, then per copy its origin u32, the
//   round trip u16 (milliseconds, at most 9999) and the loss u16 (hundredths
//   of a percent, at most 10000).
struct LinkReport {
    struct Entry {
        std::uint32_t origin = 0;
        LinkQuality link;
        friend bool operator==(const Entry&, const Entry&) = default;
    };

    static constexpr std::uint8_t id = 139;
    // As many copies as a roster holds (SessionRoster::maxMembers).
    static constexpr std::size_t maxEntries = 256;
    static constexpr std::uint16_t lossScale = 10000; // hundredths of a percent

    std::vector<Entry> entries;

    // Entries beyond maxEntries are left out; values are sent within bounds.
    [[nodiscard]] NetStream encode() const;
    // The report in a packet's bytes; nothing when it is not whole: another
    // identifier, more entries than maxEntries or than the bytes hold. Values
    // out of bounds are brought within them; an origin named twice keeps its
    // first entry.
    static std::optional<LinkReport> decode(const std::uint8_t* data, std::size_t size);
};

} // namespace kit
