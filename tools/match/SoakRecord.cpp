#include "SoakRecord.h"

#include "engine/core/World.h"

#include <cstdio>

void SoakRecord::lobby(int match, const kit::World& world)
{
    lobbies_.push_back(Counts{world.entities.size(), world.components.size()});
    std::printf("lobby before match %d: entities %zu components %zu\n", match, lobbies_.back().entities,
                lobbies_.back().components);
}

void SoakRecord::afterMatch(int match, double residentMegabytes)
{
    memory_.push_back(residentMegabytes);
    std::printf("memory after match %d: rss %.1f MB\n", match, residentMegabytes);
}

bool SoakRecord::verdict() const
{
    if (lobbies_.size() < 2)
        return true;
    bool same = true;
    for (const Counts& c : lobbies_)
        same = same && c.entities == lobbies_.front().entities && c.components == lobbies_.front().components;
    std::printf("soak: lobby counts %s the first lobby's", same ? "all equal" : "differ from");
    bool bounded = true;
    if (memory_.size() >= 3) {
        const double second = memory_[1], last = memory_.back();
        const double growth = second > 0.0 ? (last - second) / second : 0.0;
        bounded = growth <= memoryGrowthLimit;
        std::printf(", rss after match %zu is %+.1f%% of after match 2 (%.1f MB against %.1f MB)", memory_.size(),
                    100.0 * growth, last, second);
    }
    std::printf("\n");
    return same && bounded;
}
