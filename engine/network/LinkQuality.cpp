#include "LinkQuality.h"

#include <algorithm>
#include <cmath>

namespace kit {

LinkQuality boundedLink(std::uint32_t roundTripMs, float loss)
{
    return LinkQuality{std::min(roundTripMs, LinkQuality::maxRoundTripMs),
                       std::isnan(loss) ? 0.0f : std::clamp(loss, 0.0f, 1.0f)};
}

LinkQuality throughHost(const LinkQuality& toHost, const LinkQuality& hostToCopy)
{
    const LinkQuality a = boundedLink(toHost.roundTripMs, toHost.loss);
    const LinkQuality b = boundedLink(hostToCopy.roundTripMs, hostToCopy.loss);
    return boundedLink(a.roundTripMs + b.roundTripMs, 1.0f - (1.0f - a.loss) * (1.0f - b.loss));
}

bool isPoor(const LinkQuality& link)
{
    return link.roundTripMs > LinkQuality::poorRoundTripMs || link.loss > LinkQuality::poorLoss;
}

int lossPercent(const LinkQuality& link)
{
    const LinkQuality bounded = boundedLink(link.roundTripMs, link.loss);
    return std::max(0, static_cast<int>(std::ceil(bounded.loss * 100.0f - 0.01f)));
}

std::string describe(const LinkQuality& link)
{
    return std::to_string(std::min(link.roundTripMs, LinkQuality::maxRoundTripMs)) + " ms, " +
           std::to_string(lossPercent(link)) + "% loss";
}

} // namespace kit
