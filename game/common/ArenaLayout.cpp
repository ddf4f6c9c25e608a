#include "ArenaLayout.h"

#include "Arena.h"

#include "engine/core/Translation.h"
#include "engine/core/World.h"

#include <glm/common.hpp>
#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>
#include <optional>

namespace skyscuffle {

const ArenaLayout& meadow()
{
    static const ArenaLayout layout{
        "meadow",
        kit::trLater("Meadow"),
        "models/basicStage/basicStage.obj",
        "sprites/menu/arenas/meadow.png",
        1.5f,
        {
            {-74.0f, 54.0f, 148.0f, 16.0f},  // ceiling
            {-74.0f, -50.0f, 148.0f, 16.0f}, // floor
            {-77.0f, -44.0f, 16.0f, 108.0f}, // left wall
            {61.0f, -44.0f, 16.0f, 108.0f},  // right wall
            {-61.0f, -10.0f, 3.0f, 54.0f},   // the ledge by the left wall
        },
        glm::vec2(arena::left, arena::bottom),
        glm::vec2(arena::right, arena::top),
        glm::vec2(0.0f),
        glm::vec2(1.0f),
        glm::vec2(-84.0f, -48.0f),
        glm::vec2(84.0f, 48.0f),
    };
    return layout;
}

const ArenaLayout& canyon()
{
    static const ArenaLayout layout{
        "canyon",
        kit::trLater("Canyon"),
        "models/canyonStage/canyonStage.obj",
        "sprites/menu/arenas/canyon.png",
        1.0f,
        {
            {-120.0f, 105.0f, 240.0f, 25.0f}, // ceiling: the trestle bridge's deck
            {-120.0f, -75.0f, 240.0f, 24.0f}, // floor
            {-120.0f, -51.0f, 48.0f, 156.0f}, // left wall
            {72.0f, -51.0f, 48.0f, 156.0f},   // right wall
            {-72.0f, 28.0f, 14.0f, 9.0f},     // left shelf
            {58.0f, -8.0f, 14.0f, 9.0f},      // right shelf
            {-28.0f, 5.0f, 56.0f, 13.0f},     // the arch's span (its legs stand behind the planes)
        },
        glm::vec2(-72.0f, -51.0f),
        glm::vec2(72.0f, 105.0f),
        glm::vec2(0.0f, 58.0f), // above the arch
        glm::vec2(1.25f, 0.8f),
        glm::vec2(-64.0f, -43.0f),
        glm::vec2(64.0f, 97.0f),
    };
    return layout;
}

const ArenaLayout& harbour()
{
    static const ArenaLayout layout{
        "harbour",
        kit::trLater("Harbour"),
        "models/harbourStage/harbourStage.obj",
        "sprites/menu/arenas/harbour.png",
        1.0f,
        {
            {-175.0f, 64.0f, 350.0f, 22.0f},  // ceiling: the gantry's beam
            {-175.0f, -80.0f, 350.0f, 29.0f}, // floor: quay and sea bed
            {-175.0f, -51.0f, 50.0f, 115.0f}, // left wall: the warehouse
            {125.0f, -51.0f, 50.0f, 115.0f},  // right wall: the sea wall
            {-125.0f, -51.0f, 7.0f, 83.0f},   // the crane's tower, against the warehouse
            {-125.0f, 32.0f, 75.0f, 5.0f},    // the crane's jib, out over the quay
            {-84.0f, 4.0f, 16.0f, 9.0f},      // the container on its cable
            {-18.0f, -51.0f, 46.0f, 12.0f},   // the boat's hull
            {8.0f, -39.0f, 12.0f, 10.0f},     // its wheelhouse
            {70.0f, -51.0f, 13.0f, 78.0f},    // the lighthouse
            {72.0f, 27.0f, 9.0f, 10.0f},      // its lamp room
        },
        glm::vec2(-125.0f, -51.0f),
        glm::vec2(125.0f, 64.0f),
        glm::vec2(0.0f, 14.0f),
        glm::vec2(1.3f, 0.8f),
        glm::vec2(-117.0f, -43.0f),
        glm::vec2(117.0f, 56.0f),
    };
    return layout;
}

glm::vec3 openingView(const ArenaLayout& layout)
{
    return glm::vec3(layout.spawnCentre, 100.0f);
}

const ArenaLayout& arenaLayout(std::int32_t number)
{
    switch (number) {
    case 1:
        return canyon();
    case 2:
        return harbour();
    default:
        return meadow();
    }
}

std::int32_t arenaNumber(const std::string& name)
{
    for (std::int32_t i = 0; i < arenaCount; ++i) {
        if (arenaLayout(i).name == name)
            return i;
    }
    return -1;
}

bool touchesSolid(const ArenaLayout& layout, glm::vec2 p, float radius)
{
    for (const ArenaBox& box : layout.solids) {
        const glm::vec2 nearest = glm::clamp(p, layout.low(box), layout.high(box));
        const glm::vec2 off = p - nearest;
        if (off.x * off.x + off.y * off.y < radius * radius || nearest == p)
            return true;
    }
    return false;
}

glm::vec2 clearOf(const ArenaLayout& layout, glm::vec2 p, float radius)
{
    if (!std::isfinite(p.x) || !std::isfinite(p.y))
        return layout.middle();
    // Into the open space first: out of a side's far face is out of the arena.
    p = glm::clamp(p, layout.openLow + radius, layout.openHigh - radius);
    // Out through the nearest face of each solid part the circle overlaps;
    // a step may push it into another, so a few rounds.
    for (int round = 0; round < 8; ++round) {
        if (!touchesSolid(layout, p, radius))
            return p;
        for (const ArenaBox& box : layout.solids) {
            const glm::vec2 low = layout.low(box) - radius, high = layout.high(box) + radius;
            if (p.x <= low.x || p.x >= high.x || p.y <= low.y || p.y >= high.y)
                continue;
            const float toLeft = p.x - low.x, toRight = high.x - p.x;
            const float toBottom = p.y - low.y, toTop = high.y - p.y;
            const float nearest = std::min({toLeft, toRight, toBottom, toTop});
            if (nearest == toLeft)
                p.x = low.x;
            else if (nearest == toRight)
                p.x = high.x;
            else if (nearest == toBottom)
                p.y = low.y;
            else
                p.y = high.y;
        }
    }
    return touchesSolid(layout, p, radius) ? layout.middle() : p;
}

namespace {

// Where along from + (to - from) * t, t in [0, 1], the line first enters the
// box; nothing when it misses it.
std::optional<float> entry(glm::vec2 from, glm::vec2 to, glm::vec2 low, glm::vec2 high)
{
    float enter = 0.0f, leave = 1.0f;
    const glm::vec2 d = to - from;
    for (int axis = 0; axis < 2; ++axis) {
        if (std::abs(d[axis]) < 1e-6f) {
            if (from[axis] < low[axis] || from[axis] > high[axis])
                return std::nullopt;
            continue;
        }
        float a = (low[axis] - from[axis]) / d[axis], b = (high[axis] - from[axis]) / d[axis];
        if (a > b)
            std::swap(a, b);
        enter = std::max(enter, a);
        leave = std::min(leave, b);
        if (enter > leave)
            return std::nullopt;
    }
    return enter;
}

// The four sides bound the open space; the parts after them stand in it.
constexpr std::size_t sides = 4;

glm::vec2 wayRound(const ArenaLayout& layout, glm::vec2 from, glm::vec2 to, float room, int depth)
{
    std::optional<float> first;
    const ArenaBox* blocking = nullptr;
    for (std::size_t i = sides; i < layout.solids.size(); ++i) {
        const ArenaBox& box = layout.solids[i];
        const std::optional<float> t = entry(from, to, layout.low(box) - room, layout.high(box) + room);
        if (t && (!first || *t < *first)) {
            first = t;
            blocking = &box;
        }
    }
    if (!blocking)
        return to;
    // Its corners a little further out than the line was held from it, so
    // that from a corner the line along its side is clear.
    const glm::vec2 low = layout.low(*blocking) - (room + 2.0f), high = layout.high(*blocking) + (room + 2.0f);
    const glm::vec2 corners[] = {low, high, {low.x, high.y}, {high.x, low.y}};
    // A corner beyond the part is no way round it: only those this side of
    // it count, unless none is (from right beside it).
    const glm::vec2 boxLow = layout.low(*blocking) - room, boxHigh = layout.high(*blocking) + room;
    bool anyNear = false;
    for (const glm::vec2 corner : corners)
        anyNear = anyNear || !entry(from, corner, boxLow, boxHigh);
    std::optional<glm::vec2> best;
    float shortest = 0.0f;
    for (const glm::vec2 corner : corners) {
        const bool open = corner.x > layout.openLow.x && corner.x < layout.openHigh.x && corner.y > layout.openLow.y &&
                          corner.y < layout.openHigh.y;
        if (!open || touchesSolid(layout, corner, room * 0.5f) || (anyNear && entry(from, corner, boxLow, boxHigh)))
            continue;
        const float length = glm::length(corner - from) + glm::length(to - corner);
        if (!best || length < shortest) {
            best = corner;
            shortest = length;
        }
    }
    // The way to that corner may itself pass another part: round that first.
    if (best && depth > 1)
        return wayRound(layout, from, *best, room, depth - 1);
    return best.value_or(to);
}

} // namespace

glm::vec2 wayTo(const ArenaLayout& layout, glm::vec2 from, glm::vec2 to, float room)
{
    // A few parts deep: a crane's tower and its jib, a lighthouse and its lamp room.
    return wayRound(layout, from, to, room, 3);
}

const ArenaLayout& layoutOf(kit::World* world)
{
    const ArenaPlan* plan = world ? world->single<ArenaPlan>() : nullptr;
    return plan ? plan->layout : meadow();
}

ArenaPlan::ArenaPlan(const ArenaLayout& layout) : layout(layout)
{
    addClassTags<ArenaPlan>("arenaPlan");
}

} // namespace skyscuffle
