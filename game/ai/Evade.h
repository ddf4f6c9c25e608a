#pragma once

#include "game/ai/Action.h"

namespace skyscuffle {

class ArtificialIntelligence;

// Gets away from a close threat: flies from where it will be, dashing
// whenever it can and shooting back when the nose happens to be on it.
class Evade : public Action {
public:
    explicit Evade(ArtificialIntelligence* ai) : ai(ai) {}
    void perform() override;

    ArtificialIntelligence* ai;
};

} // namespace skyscuffle
