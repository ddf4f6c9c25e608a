#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"

namespace skyscuffle {

// The HUD's score of one plane: its points right-aligned in four characters.
class ScoreCounter : public kit::Behavior {
public:
    explicit ScoreCounter(kit::EntityHandle plane);

    void update(float dt) override;

    kit::EntityHandle plane;
};

} // namespace skyscuffle
