#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kit {

// What a copy tells the others on the LAN about the session it hosts: the
// discovery datagram (identifier 135), then the hosting bit, then whether a
// match of its session is running and, when one is, its whole seconds left
// (16 bits) and its players (8 bits). Copies that know only the hosting bit
// read no further.
struct Announcement {
    struct RunningMatch {
        // Bounds of what a copy takes from a peer: a match lasts at most an
        // hour here, and no session seats more than this many players.
        static constexpr std::uint16_t longest = 3600;
        static constexpr std::uint8_t mostPlayers = 16;

        std::uint16_t secondsLeft = 0;
        std::uint8_t players = 0;

        friend bool operator==(const RunningMatch&, const RunningMatch&) = default;
    };

    static constexpr std::uint8_t id = 135;

    bool hosting = false;
    std::optional<RunningMatch> match{};

    [[nodiscard]] std::vector<std::uint8_t> encode() const;
    // A datagram of an announcement (its identifier first). Not one, or one
    // cut short before its hosting bit: nothing. A running match cut short or
    // out of bounds is read as none: the hosting bit still counts.
    [[nodiscard]] static std::optional<Announcement> decode(const std::uint8_t* data, std::size_t bytes);

    friend bool operator==(const Announcement&, const Announcement&) = default;
};

} // namespace kit
