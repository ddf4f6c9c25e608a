#pragma once

#include "game/ai/DecisionTreeNode.h"

namespace skyscuffle {

// A fork: a test picks the branch to ask next.
class Decision : public DecisionTreeNode {
public:
    std::shared_ptr<Action> makeDecision() override
    {
        const std::shared_ptr<DecisionTreeNode>& next = test() ? whenTrue : whenFalse;
        return next ? next->makeDecision() : nullptr;
    }
    virtual bool test() = 0;

    std::shared_ptr<DecisionTreeNode> whenTrue;
    std::shared_ptr<DecisionTreeNode> whenFalse;
};

} // namespace skyscuffle
