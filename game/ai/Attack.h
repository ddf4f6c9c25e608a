#pragma once

#include "game/ai/Action.h"

#include "engine/core/EntityHandle.h"

namespace skyscuffle {

class ArtificialIntelligence;

// Goes for the target: steers at where it will be (with a random aim error),
// fires when the nose is on it, dashes into it when close, and uses a
// shotgun or bombs when the shot is good.
class Attack : public Action {
public:
    explicit Attack(ArtificialIntelligence* ai) : ai(ai) {}
    void perform() override;

    // The buttons of the weapons, aimed at `at`: shared with Evade.
    static void pressWeapons(ArtificialIntelligence& ai, kit::EntityHandle at, bool dash);

    ArtificialIntelligence* ai;
};

} // namespace skyscuffle
