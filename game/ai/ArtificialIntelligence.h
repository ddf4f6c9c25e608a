#pragma once

#include "game/ai/PilotSkill.h"

#include "engine/core/Component.h"
#include "engine/core/EntityHandle.h"

#include <glm/vec2.hpp>

#include <array>

namespace skyscuffle {

// What a computer pilot wants to do this frame; the decision tree writes it and
// the pilot's VirtualGamepadAI reads it.
class ArtificialIntelligence : public kit::Component {
public:
    ArtificialIntelligence();

    // Everything starts over when the component enters a world.
    void onAdded() override;

    glm::vec2 stick{0.0f};                            // clamped to length 1 by the gamepad
    std::array<bool, 3> buttons{false, false, false}; // 0 dash, 1 basic gun, 2 shotgun or bomb
    kit::EntityHandle target;                         // the plane being attacked
    kit::EntityHandle threat;                         // the last attacker being evaded
    PilotStrength strength = PilotStrength::normal;   // kept from screen to screen
    float sinceDecision = 0.0f;                       // seconds since the tree last decided
    // The match asks for care (the last few planes of a round without
    // respawn): the pilot turns to evading and health sooner.
    bool cautious = false;
};

} // namespace skyscuffle
