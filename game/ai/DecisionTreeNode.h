#pragma once

#include <memory>

namespace skyscuffle {

class Action;

// A node of a computer pilot's decision tree: asked for a decision, it
// returns the action to perform this frame.
class DecisionTreeNode {
public:
    virtual ~DecisionTreeNode() = default;
    virtual std::shared_ptr<Action> makeDecision() = 0;
};

} // namespace skyscuffle
