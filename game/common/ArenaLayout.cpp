#include "ArenaLayout.h"

#include "Arena.h"

#include "engine/core/World.h"

namespace skyscuffle {

const ArenaLayout& meadow()
{
    static const ArenaLayout layout{
        "meadow",
        "models/basicStage/basicStage.obj",
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
    };
    return layout;
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
