#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"

namespace skyscuffle {

// The HUD's score of one plane, on its entity's text (and that text's outline,
// if it has one): its points right-aligned in four characters from where the
// text starts; or, `centred`, its digits centred on the entity (made at x 0),
// narrowed where they would be wider than `room` (never below 60 % of the
// size the text was made with).
class ScoreCounter : public kit::Behavior {
public:
    explicit ScoreCounter(kit::EntityHandle plane);

    void update(float dt) override;

    kit::EntityHandle plane;
    bool centred = false;
    float room = 0.0f; // overlay units; 0: any width

private:
    float size_ = 0.0f;   // the text's glyph size when first seen
    float placed_ = 0.0f; // where its digits start now, from the origin it was made with
};

} // namespace skyscuffle
