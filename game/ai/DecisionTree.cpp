#include "DecisionTree.h"

#include <utility>

namespace skyscuffle {

// A tree is run by asking its root: each fork's test sends the question down
// one branch until a leaf answers with its action.
std::shared_ptr<Action> Decision::makeDecision()
{
    const std::shared_ptr<DecisionTreeNode>& next = test() ? whenTrue : whenFalse;
    return next ? next->makeDecision() : nullptr;
}

ActionNode::ActionNode(std::shared_ptr<Action> action) : action(std::move(action)) {}

std::shared_ptr<Action> ActionNode::makeDecision()
{
    return action;
}

} // namespace skyscuffle
