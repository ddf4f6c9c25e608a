#include "FindTarget.h"

#include "game/ai/AiTuning.h"
#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/PilotView.h"
#include "game/combat/Health.h"
#include "game/combat/Score.h"
#include "game/common/Tags.h"

#include "engine/core/World.h"

#include <glm/geometric.hpp>

#include <limits>

namespace skyscuffle {

float FindTarget::value(kit::EntityHandle own, kit::EntityHandle candidate)
{
    const AiTuning& t = AiTuning::get();
    kit::World& world = *own.world;
    const auto* health = world.getComponent<Health>(candidate.id);
    const float wounds = health ? health->maxHealth - health->currentHealth : 0.0f;
    const float distance = glm::length(pilot::position(candidate) - pilot::position(own));
    // Planes ahead on points draw more fire: a bot that hunts the leader
    // keeps the scores close. A quarter of the weight per point of lead.
    const auto* theirs = world.getComponent<Score>(candidate.id);
    const auto* mine = world.getComponent<Score>(own.id);
    const float lead = theirs && mine ? static_cast<float>(theirs->points - mine->points) : 0.0f;
    return wounds * t.healthWeight - distance * t.distanceWeight + lead * t.scoreWeight * 0.25f;
}

bool FindTarget::test()
{
    kit::World* world = ai->world;
    const kit::EntityHandle own = ai->getEntity();
    float best = -std::numeric_limits<float>::max();
    kit::EntityHandle chosen;
    kit::EntityCollection* players = world->getEntities(kit::tagId(tags::player));
    for (auto it = players->begin(); it != players->end(); ++it) {
        kit::EntityHandle candidate = *it;
        candidate.world = world;
        if (candidate.id == own.id || !pilot::isFairTarget(candidate))
            continue;
        const float v = value(own, candidate);
        if (chosen.empty() || v > best) { // the first met keeps a tie
            best = v;
            chosen = candidate;
        }
    }
    if (chosen.empty())
        return false;
    ai->target = chosen;
    return true;
}

} // namespace skyscuffle
