#pragma once

#include <memory>

namespace skyscuffle {

// What a computer pilot does this frame: writes its stick and buttons.
class Action {
public:
    virtual ~Action() = default;
    virtual void perform() = 0;
};

// A node of a computer pilot's decision tree: asked for a decision, it
// returns the action to perform this frame.
class DecisionTreeNode {
public:
    virtual ~DecisionTreeNode() = default;
    virtual std::shared_ptr<Action> makeDecision() = 0;
};

// A fork: a test picks the branch to ask next. A missing branch decides
// nothing (no action this frame).
class Decision : public DecisionTreeNode {
public:
    std::shared_ptr<Action> makeDecision() override;
    virtual bool test() = 0;

    std::shared_ptr<DecisionTreeNode> whenTrue;
    std::shared_ptr<DecisionTreeNode> whenFalse;
};

// A leaf: always the same action.
class ActionNode : public DecisionTreeNode {
public:
    explicit ActionNode(std::shared_ptr<Action> action);
    std::shared_ptr<Action> makeDecision() override;

    std::shared_ptr<Action> action;
};

} // namespace skyscuffle
