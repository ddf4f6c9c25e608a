#pragma once

#include <cstdint>
#include <string>

namespace kit {

// How good the link to another copy is, as the transport measures it: the
// mean round trip of a reliable packet and its acknowledgement, and the share
// of reliable packets that had to be sent again.
struct LinkQuality {
    // The most a link may claim, whoever measured it: ten seconds without an
    // answer is a connection about to time out anyway.
    static constexpr std::uint32_t maxRoundTripMs = 9999;
    // Beyond these a link is poor: a quarter of a second of lag is felt in a
    // turning fight, and one packet in twenty resent holds up the calls
    // behind it. Exactly at the bound is not poor yet.
    static constexpr std::uint32_t poorRoundTripMs = 250;
    static constexpr float poorLoss = 0.05f;

    std::uint32_t roundTripMs = 0; // milliseconds
    float loss = 0.0f;             // fraction of packets lost, 0 to 1

    friend bool operator==(const LinkQuality&, const LinkQuality&) = default;
};

// A link within bounds: the round trip at most maxRoundTripMs, the loss
// between 0 and 1 (not a number: 0).
[[nodiscard]] LinkQuality boundedLink(std::uint32_t roundTripMs, float loss);

// The link from this copy through the host to another copy: the legs' round
// trips add up, and a packet gets through only if neither leg loses it.
[[nodiscard]] LinkQuality throughHost(const LinkQuality& toHost, const LinkQuality& hostToCopy);

// RTT above 250 ms or loss above 5 %.
[[nodiscard]] bool isPoor(const LinkQuality& link);

// The loss in whole percent as players read it: rounded up, so that a loss
// shown as 6 % or more is poor and one shown as 5 % or less, but for a
// hundredth of a percent, is not (that hundredth is float dust, which does
// not round a whole number up).
[[nodiscard]] int lossPercent(const LinkQuality& link);

// "310 ms, 7% loss": the console's words for a link.
[[nodiscard]] std::string describe(const LinkQuality& link);

} // namespace kit
