// The nodes of a computer pilot's decision tree on their own: a leaf answers
// with its action, a fork asks its test once and follows one branch, and a
// missing branch decides nothing.
#include "game/ai/DecisionTree.h"

#include <gtest/gtest.h>

#include <memory>

using namespace skyscuffle;

namespace {

// An action that only counts how often it is performed.
struct CountedAction : Action {
    void perform() override { ++performed; }
    int performed = 0;
};

// A fork whose test gives the answer it was told, counting the questions.
struct ToldDecision : Decision {
    explicit ToldDecision(bool answer) : answer(answer) {}
    bool test() override
    {
        ++asked;
        return answer;
    }
    bool answer;
    int asked = 0;
};

std::shared_ptr<DecisionTreeNode> leafOf(std::shared_ptr<Action> action)
{
    return std::make_shared<ActionNode>(std::move(action));
}

} // namespace

TEST(DecisionTree, ALeafAnswersWithItsActionWithoutPerformingIt)
{
    auto action = std::make_shared<CountedAction>();
    ActionNode leaf(action);
    EXPECT_EQ(leaf.makeDecision(), action);
    EXPECT_EQ(leaf.makeDecision(), action) << "the same action every time";
    EXPECT_EQ(action->performed, 0) << "deciding is not performing";
}

TEST(DecisionTree, AForkFollowsTheBranchItsTestPicksAndAsksItOnce)
{
    auto yes = std::make_shared<CountedAction>();
    auto no = std::make_shared<CountedAction>();
    for (bool answer : {true, false}) {
        ToldDecision fork(answer);
        fork.whenTrue = leafOf(yes);
        fork.whenFalse = leafOf(no);
        EXPECT_EQ(fork.makeDecision(), answer ? yes : no) << "answer " << answer;
        EXPECT_EQ(fork.asked, 1);
    }
}

TEST(DecisionTree, TheQuestionGoesDownNestedForksAlongOneBranchOnly)
{
    auto chosen = std::make_shared<CountedAction>();
    auto other = std::make_shared<CountedAction>();
    auto inner = std::make_shared<ToldDecision>(false);
    inner->whenTrue = leafOf(other);
    inner->whenFalse = leafOf(chosen);
    auto untouched = std::make_shared<ToldDecision>(true);
    untouched->whenTrue = leafOf(other);
    ToldDecision root(true);
    root.whenTrue = inner;
    root.whenFalse = untouched;
    EXPECT_EQ(root.makeDecision(), chosen);
    EXPECT_EQ(inner->asked, 1);
    EXPECT_EQ(untouched->asked, 0) << "the branch not taken is never asked";
}

TEST(DecisionTree, AMissingBranchDecidesNothing)
{
    auto action = std::make_shared<CountedAction>();
    ToldDecision noTrueBranch(true);
    noTrueBranch.whenFalse = leafOf(action);
    EXPECT_EQ(noTrueBranch.makeDecision(), nullptr);
    ToldDecision noFalseBranch(false);
    noFalseBranch.whenTrue = leafOf(action);
    EXPECT_EQ(noFalseBranch.makeDecision(), nullptr);
}
