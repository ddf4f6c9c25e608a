#pragma once

#include "game/ai/Decision.h"

#include "engine/core/EntityHandle.h"

namespace skyscuffle {

class ArtificialIntelligence;

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

} // namespace skyscuffle
