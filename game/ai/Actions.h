#pragma once

#include "game/ai/DecisionTree.h"

#include "engine/core/EntityHandle.h"

#include <string>
#include <utility>

namespace skyscuffle {

class ArtificialIntelligence;

// The leaves' actions of a computer pilot's decision tree: each writes the
// pilot's stick and buttons for this frame.

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

// Gets away from a close threat: flies from where it will be, dashing
// whenever it can and shooting back when the nose happens to be on it.
class Evade : public Action {
public:
    explicit Evade(ArtificialIntelligence* ai) : ai(ai) {}
    void perform() override;

    ArtificialIntelligence* ai;
};

// Flies straight at the nearest entity carrying the label (a pick-up); with
// none, holds the middle of the sky (heads for it, then circles it).
class FindPowerup : public Action {
public:
    FindPowerup(ArtificialIntelligence* ai, std::string label) : ai(ai), label(std::move(label)) {}
    void perform() override;

    ArtificialIntelligence* ai;
    std::string label;
};

} // namespace skyscuffle
