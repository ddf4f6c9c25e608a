#pragma once

#include "game/ai/Decision.h"

#include "engine/core/EntityHandle.h"

#include <string>

namespace skyscuffle {

// Something in the world carries the label (a health pick-up, say).
class isLabelExist : public Decision {
public:
    isLabelExist(kit::EntityHandle plane, std::string label) : plane(plane), label(std::move(label)) {}
    bool test() override;

    kit::EntityHandle plane; // for its world
    std::string label;
};

} // namespace skyscuffle
