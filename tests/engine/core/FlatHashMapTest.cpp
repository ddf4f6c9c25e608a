#include "engine/core/FlatHashMap.h"

#include <gtest/gtest.h>

#include <random>
#include <unordered_map>

namespace {

// A deliberately poor hash: many keys share a home slot, so probe runs are
// long and erasure has to shift entries back across them.
struct ClusteringHash {
    std::size_t operator()(int key) const { return static_cast<std::size_t>(key / 7); }
};

} // namespace

TEST(FlatHashMaps, AgreeWithTheStandardMapUnderRandomEdits)
{
    kit::FlatHashMap<int, int, ClusteringHash> map;
    std::unordered_map<int, int> reference;
    std::mt19937 random(5);
    for (int step = 0; step < 200000; ++step) {
        const int key = static_cast<int>(random() % 500);
        switch (random() % 3) {
        case 0:
            map[key] = step;
            reference[key] = step;
            break;
        case 1:
            ASSERT_EQ(map.erase(key), reference.erase(key) == 1) << "step " << step;
            break;
        default: {
            const int* found = map.find(key);
            auto expected = reference.find(key);
            ASSERT_EQ(found != nullptr, expected != reference.end()) << "step " << step;
            if (found) {
                ASSERT_EQ(*found, expected->second) << "step " << step;
            }
        }
        }
        ASSERT_EQ(map.size(), reference.size());
    }
    for (int key = 0; key < 500; ++key)
        ASSERT_EQ(map.find(key) != nullptr, reference.contains(key));
}

TEST(FlatHashMaps, StartEmptyAndForgetErasedValues)
{
    kit::FlatHashMap<int, std::vector<int>, std::hash<int>> map;
    EXPECT_EQ(map.find(3), nullptr);
    EXPECT_FALSE(map.erase(3));
    map[3].push_back(1);
    EXPECT_TRUE(map.erase(3));
    EXPECT_TRUE(map[3].empty()); // a re-inserted key starts from a fresh value
}
