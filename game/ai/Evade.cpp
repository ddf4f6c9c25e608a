#include "Evade.h"

#include "game/ai/AiTuning.h"
#include "game/ai/Attack.h"
#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/PilotView.h"
#include "game/common/GameMath.h"
#include "game/input/VirtualGamepad.h"

#include "engine/core/World.h"

#include <glm/geometric.hpp>

namespace skyscuffle {

void Evade::perform()
{
    const AiTuning& t = AiTuning::get();
    const kit::EntityHandle plane = ai->getEntity();
    const kit::EntityHandle threat{ai->threat.id, ai->world};
    if (!pilot::exists(threat))
        return;
    const glm::vec2 from(pilot::position(plane));
    const glm::vec2 there(pilot::position(threat));
    const float range = t.threatRange;
    const glm::vec2 between = there - from;
    if (glm::dot(between, between) <= range * range) {
        const glm::vec2 w(pilot::velocity(threat));
        const glm::vec2 predicted = there + w * pilot::leadTime(glm::length(between), glm::length(w));
        ai->stick = unitOrZero(from - predicted);
    }
    Attack::pressWeapons(*ai, threat, false);
    ai->buttons[VirtualGamepad::dash] = true; // dash away whenever the cooldown allows
}

} // namespace skyscuffle
