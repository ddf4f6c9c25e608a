#include "FindPowerup.h"

#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/PilotView.h"
#include "game/common/GameMath.h"

#include "engine/core/World.h"

#include <glm/geometric.hpp>

#include <limits>

namespace skyscuffle {

void FindPowerup::perform()
{
    kit::World* world = ai->world;
    const glm::vec2 from(pilot::position(ai->getEntity()));
    float nearest = std::numeric_limits<float>::max();
    glm::vec2 best(0.0f);
    bool found = false;
    kit::EntityCollection* items = world->getEntities(kit::tagId(label));
    for (auto it = items->begin(); it != items->end(); ++it) {
        const kit::EntityHandle item{(*it).id, world};
        if (!pilot::exists(item))
            continue;
        const glm::vec2 at(pilot::position(item));
        const float distance = glm::length(at - from);
        if (distance < nearest) {
            nearest = distance;
            best = at;
            found = true;
        }
    }
    if (found)
        ai->stick = unitOrZero(best - from);
}

} // namespace skyscuffle
