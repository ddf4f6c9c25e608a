#include "LinkReport.h"

#include <algorithm>
#include <cmath>

namespace kit {

NetStream LinkReport::encode() const
{
    const std::size_t count = std::min(entries.size(), maxEntries);
    NetStream out;
    out.write(id);
    out.write(static_cast<std::uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const LinkQuality link = boundedLink(entries[i].link.roundTripMs, entries[i].link.loss);
        out.write(entries[i].origin);
        out.write(static_cast<std::uint16_t>(link.roundTripMs));
        out.write(static_cast<std::uint16_t>(std::lround(link.loss * lossScale)));
    }
    return out;
}

std::optional<LinkReport> LinkReport::decode(const std::uint8_t* data, std::size_t size)
{
    NetStream in(data, size);
    std::uint8_t identifier = 0;
    std::uint16_t count = 0;
    if (!in.read(identifier) || identifier != id || !in.read(count) || count > maxEntries)
        return std::nullopt;
    LinkReport report;
    report.entries.reserve(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        Entry entry;
        std::uint16_t roundTrip = 0, loss = 0;
        if (!in.read(entry.origin) || !in.read(roundTrip) || !in.read(loss))
            return std::nullopt; // cut short: a report that lies about its size is no report
        entry.link = boundedLink(roundTrip, static_cast<float>(loss) / lossScale);
        const bool named = std::any_of(report.entries.begin(), report.entries.end(),
                                       [&](const Entry& e) { return e.origin == entry.origin; });
        if (!named)
            report.entries.push_back(entry);
    }
    return report;
}

} // namespace kit
