#pragma once

#include "game/ai/Action.h"

#include <string>

namespace skyscuffle {

class ArtificialIntelligence;

// Flies straight at the nearest entity carrying the label (a pick-up).
class FindPowerup : public Action {
public:
    FindPowerup(ArtificialIntelligence* ai, std::string label) : ai(ai), label(std::move(label)) {}
    void perform() override;

    ArtificialIntelligence* ai;
    std::string label;
};

} // namespace skyscuffle
