#include "Rounds.h"

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
        return RoundEnd{};
    return RoundEnd{best->plane};
}

void RoundTally::add(const RoundEnd& end)
{
    ++played_;
    if (end.winner)
        ++wins_[*end.winner];
}

int RoundTally::winsOf(kit::EntityID plane) const
{
    const auto found = wins_.find(plane);
    return found == wins_.end() ? 0 : found->second;
}

std::optional<kit::EntityID> RoundTally::champion(int toWin) const
{
    // Only winners are counted: asked for none, the first winner is it.
    for (const auto& [plane, wins] : wins_) {
        if (wins >= toWin)
            return plane;
    }
    return std::nullopt;
}

ScoreTable RoundTally::table(const std::vector<kit::EntityID>& planes) const
{
    ScoreTable table;
    for (const kit::EntityID& plane : planes)
        table.push_back(ScoreEntry{plane, winsOf(plane)});
    return table;
}

} // namespace skyscuffle
