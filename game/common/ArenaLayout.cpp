#include "ArenaLayout.h"

#include "Arena.h"

#include "engine/core/World.h"

#include <glm/common.hpp>

#include <algorithm>
#include <cmath>

namespace skyscuffle {

const ArenaLayout& meadow()
{
    static const ArenaLayout layout{
        "meadow",
        "Meadow",
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
        "Canyon",
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
            {-28.0f, -51.0f, 11.0f, 56.0f},   // the arch's left leg
            {17.0f, -51.0f, 11.0f, 56.0f},    // the arch's right leg
            {-28.0f, 5.0f, 56.0f, 13.0f},     // the arch's top
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
        "Harbour",
        "models/harbourStage/harbourStage.obj",
        "sprites/menu/arenas/harbour.png",
        1.0f,
        {
            {-175.0f, 64.0f, 350.0f, 22.0f},  // ceiling: the gantry's beam
            {-175.0f, -80.0f, 350.0f, 29.0f}, // floor: quay and sea bed
            {-175.0f, -51.0f, 50.0f, 115.0f}, // left wall: the warehouse
            {125.0f, -51.0f, 50.0f, 115.0f},  // right wall: the sea wall
            {-72.0f, -51.0f, 7.0f, 83.0f},    // the crane's tower
            {-106.0f, 32.0f, 62.0f, 5.0f},    // the crane's jib
            {-98.0f, 4.0f, 16.0f, 9.0f},      // the container on its cable
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
