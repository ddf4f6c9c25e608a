#include "engine/core/LiveSet.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using Set = kit::LiveSet<int, std::less<int>>;

namespace {

std::vector<int> walk(Set& set, const std::function<void(int)>& atEach = {})
{
    std::vector<int> seen;
    for (auto it = set.begin(); it != set.end(); ++it) {
        seen.push_back(*it);
        if (atEach)
            atEach(*it);
    }
    return seen;
}

} // namespace

TEST(LiveSets, ErasingTheCurrentElementMovesTheWalkOn)
{
    Set set;
    for (int i : {1, 2, 3, 4})
        set.insert(i);
    EXPECT_EQ(walk(set, [&](int v) { set.erase(v); }), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(set.empty());
}

TEST(LiveSets, ErasingAheadSkipsAndInsertingAheadVisits)
{
    Set set;
    for (int i : {10, 20, 30, 40})
        set.insert(i);
    const auto seen = walk(set, [&](int v) {
        if (v == 10) {
            set.erase(20);
            set.insert(35);
            set.insert(5); // behind the walk: not visited
        }
    });
    EXPECT_EQ(seen, (std::vector<int>{10, 30, 35, 40}));
}

TEST(LiveSets, NestedWalksAndCopiesStayValid)
{
    Set set;
    for (int i : {1, 2, 3})
        set.insert(i);
    auto outer = set.begin();
    auto copy = outer;
    set.erase(1);
    EXPECT_EQ(*outer, 2);
    EXPECT_EQ(*copy, 2);
    ++outer; // clears the mark only
    EXPECT_EQ(*outer, 2);
    ++outer;
    EXPECT_EQ(*outer, 3);
    set.erase(3);
    set.erase(2);
    EXPECT_TRUE(outer == set.end());
    EXPECT_TRUE(copy == set.end());
}

TEST(LiveSets, RandomEditsDuringAWalkVisitEverySurvivorOnce)
{
    std::mt19937 random(1234);
    for (int round = 0; round < 200; ++round) {
        Set set;
        std::set<int> alive;
        for (int i = 0; i < 50; ++i) {
            const int v = static_cast<int>(random() % 100);
            set.insert(v);
            alive.insert(v);
        }
        std::set<int> erased;
        std::vector<int> seen;
        for (auto it = set.begin(); it != set.end(); ++it) {
            seen.push_back(*it);
            const int victim = static_cast<int>(random() % 100);
            if (set.erase(victim))
                erased.insert(victim);
        }
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        EXPECT_EQ(std::set<int>(seen.begin(), seen.end()).size(), seen.size()) << "visited twice";
        for (int v : alive) {
            const bool visited = std::find(seen.begin(), seen.end(), v) != seen.end();
            if (!erased.contains(v)) {
                EXPECT_TRUE(visited) << v << " survived but was not visited";
            }
        }
    }
}
