#pragma once

#include "game/match/PlaneMarks.h"

#include "engine/core/World.h"

#include <set>

namespace test {

// The entities of the planes' marks over a match: texts that move with the
// play rather than stand on the HUD.
inline std::set<kit::EntityID> planeMarkTexts(kit::World& world)
{
    std::set<kit::EntityID> marks;
    if (const auto* planeMarks = world.single<skyscuffle::PlaneMarks>())
        for (const auto& [plane, mark] : planeMarks->marks)
            marks.insert(mark.id);
    return marks;
}

} // namespace test
