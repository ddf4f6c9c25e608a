#pragma once

#include "LinkQuality.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace kit {

// The console's word on each copy's link: one line when it turns poor, one
// when it is fine again. A link that wavers about the bound says so at most
// once in linePeriod seconds per copy; a change within that time is told when
// it is over, if the link is still changed by then. A link fine from the
// start is not told of, nor a link in its first seconds: the transport's
// first measures take in the other copy's start (loading, opening its
// window), when it answers late.
class LinkAlarm {
public:
    static constexpr float linePeriod = 10.0f;
    static constexpr float settleSeconds = 5.0f;

    // The line to write about copy `origin`, whose link is `link` at `now`
    // (seconds on a clock that never goes back), or nothing.
    [[nodiscard]] std::optional<std::string> judge(std::uint32_t origin, const LinkQuality& link, float now);
    // Copies that left: should one come back, its link starts afresh.
    void forgetIf(const std::function<bool(std::uint32_t origin)>& gone);
    void clear() { told_.clear(); }

private:
    struct Told {
        float since = 0.0f; // first judged
        bool poor = false;
        std::optional<float> at; // when the last line about this copy was written
    };
    std::map<std::uint32_t, Told> told_;
};

} // namespace kit
