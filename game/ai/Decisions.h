#pragma once

#include "game/ai/DecisionTree.h"

#include "engine/core/EntityHandle.h"

#include <string>
#include <utility>

namespace skyscuffle {

class ArtificialIntelligence;

// The forks of a computer pilot's decision tree, each one question about the
// match. FindTarget and FindDamager also keep what they found (the target, the
// threat) in the pilot's ArtificialIntelligence for the action below them.

// Healthy enough to fight: the plane has more health than the tuning's
// minimum to be aggressive.
class isHealthly : public Decision {
public:
    explicit isHealthly(kit::EntityHandle plane) : plane(plane) {}
    bool test() override;

    kit::EntityHandle plane;
};

// Something in the world carries the label (a health pick-up, say).
class isLabelExist : public Decision {
public:
    isLabelExist(kit::EntityHandle plane, std::string label) : plane(plane), label(std::move(label)) {}
    bool test() override;

    kit::EntityHandle plane; // for its world
    std::string label;
};

// The pilot's target is still worth attacking: there, alive, not shielded.
class isTargetAlive : public Decision {
public:
    explicit isTargetAlive(ArtificialIntelligence* ai) : ai(ai) {}
    bool test() override;

    ArtificialIntelligence* ai;
};

// Picks the best plane to attack, if there is any: the wounded, the near and
// the ones ahead on points; alive and unshielded only, never its own.
class FindTarget : public Decision {
public:
    explicit FindTarget(ArtificialIntelligence* ai) : ai(ai) {}
    bool test() override;

    // How much the pilot of `own` wants to attack `candidate`.
    static float value(kit::EntityHandle own, kit::EntityHandle candidate);

    ArtificialIntelligence* ai;
};

// The plane's last attacker is close: it becomes the threat to get away from.
class FindDamager : public Decision {
public:
    FindDamager(kit::EntityHandle plane, ArtificialIntelligence* ai) : plane(plane), ai(ai) {}
    bool test() override;

    kit::EntityHandle plane;
    ArtificialIntelligence* ai;
};

} // namespace skyscuffle
