#pragma once

#include "game/ai/Action.h"
#include "game/ai/DecisionTreeNode.h"

#include <utility>

namespace skyscuffle {

// A leaf: always the same action.
class ActionNode : public DecisionTreeNode {
public:
    explicit ActionNode(std::shared_ptr<Action> action) : action(std::move(action)) {}
    std::shared_ptr<Action> makeDecision() override { return action; }

    std::shared_ptr<Action> action;
};

} // namespace skyscuffle
