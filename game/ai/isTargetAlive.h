#pragma once

#include "game/ai/Decision.h"

namespace skyscuffle {

class ArtificialIntelligence;

// The pilot's target is still worth attacking: there, alive, not shielded.
class isTargetAlive : public Decision {
public:
    explicit isTargetAlive(ArtificialIntelligence* ai) : ai(ai) {}
    bool test() override;

    ArtificialIntelligence* ai;
};

} // namespace skyscuffle
