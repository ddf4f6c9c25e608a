#include "LinkAlarm.h"

#include "ConnectionGuard.h"

namespace kit {

std::optional<std::string> LinkAlarm::judge(std::uint32_t origin, const LinkQuality& link, float now)
{
    const bool poor = isPoor(link);
    Told& told = told_.try_emplace(origin, Told{now, false, std::nullopt}).first->second;
    if (poor == told.poor || now - told.since < settleSeconds || (told.at && now - *told.at < linePeriod))
        return std::nullopt;
    told.poor = poor;
    told.at = now;
    return "Link to copy " + originText(origin) + (poor ? " is poor: " : " is fine again: ") + describe(link);
}

void LinkAlarm::forgetIf(const std::function<bool(std::uint32_t origin)>& gone)
{
    std::erase_if(told_, [&gone](const auto& entry) { return gone(entry.first); });
}

} // namespace kit
