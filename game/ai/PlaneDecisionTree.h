#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"

#include <glm/vec2.hpp>

#include <memory>

namespace skyscuffle {

class ArtificialIntelligence;
class DecisionTreeNode;

// A computer pilot: every frame it clears the pilot's stick and buttons,
// walks its decision tree and performs the action it lands on. Healthy
// pilots attack (a target they have, or a new one) or fetch pick-ups;
// wounded ones fetch health, flee a close attacker, or fight on. Whatever the
// action, the stick then keeps the plane clear of the arena's sides.
class PlaneDecisionTree : public kit::Behavior {
public:
    explicit PlaneDecisionTree(ArtificialIntelligence* ai);

    void initialize() override;
    void update(float dt) override;

    std::shared_ptr<DecisionTreeNode> root;
    ArtificialIntelligence* ai; // on the same entity: the pilot's plane
};

// The stick turned away from the arena's sides that the plane will be near
// half a second from now: within 14 units of one, away from it, the harder
// the nearer; elsewhere the stick as it was.
[[nodiscard]] glm::vec2 clearOfWalls(kit::EntityHandle plane, glm::vec2 stick);

} // namespace skyscuffle
