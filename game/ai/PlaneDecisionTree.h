#pragma once

#include "engine/core/Behavior.h"

#include <memory>

namespace skyscuffle {

class ArtificialIntelligence;
class DecisionTreeNode;

// A computer pilot: every frame it clears the pilot's stick and buttons,
// walks its decision tree and performs the action it lands on. Healthy
// pilots attack (a target they have, or a new one) or fetch pick-ups;
// wounded ones fetch health, flee a close attacker, or fight on.
class PlaneDecisionTree : public kit::Behavior {
public:
    explicit PlaneDecisionTree(ArtificialIntelligence* ai);

    void initialize() override;
    void update(float dt) override;

    std::shared_ptr<DecisionTreeNode> root;
    ArtificialIntelligence* ai; // on the same entity: the pilot's plane
};

} // namespace skyscuffle
