#include "Rounds.h"

#include <algorithm>
#include <cmath>

namespace skyscuffle {

std::optional<RoundEnd> judgeRound(const std::vector<RoundPlane>& planes, std::size_t startedWith, bool clockOut)
{
    std::vector<const RoundPlane*> flying;
    for (const RoundPlane& p : planes) {
        if (p.flying)
            flying.push_back(&p);
    }
    // A round of one plane alone has nobody to outlast: only its clock ends it.
    if (startedWith >= 2 && flying.size() <= 1)
        return RoundEnd{flying.empty() ? std::nullopt : std::optional(flying.front()->plane)};
    if (!clockOut)
        return std::nullopt;
    const auto healthOf = [](const RoundPlane* p) { return std::isfinite(p->health) ? p->health : 0.0f; };
    const RoundPlane* best = nullptr;
    bool shared = false;
    for (const RoundPlane* p : flying) {
        if (!best || healthOf(p) > healthOf(best)) {
            best = p;
            shared = false;
        } else if (healthOf(p) == healthOf(best)) {
            shared = true;
        }
    }
    if (!best || shared)
        return RoundEnd{std::nullopt, true};
    return RoundEnd{best->plane, true};
}

std::optional<kit::EntityID> champion(const ScoreTable& table, int toWin)
{
    for (const ScoreEntry& entry : table) {
        if (entry.points >= std::max(toWin, 1))
            return entry.plane;
    }
    return std::nullopt;
}

int mostRounds(int toWin)
{
    return 4 * std::max(toWin, 1);
}

} // namespace skyscuffle
