// Which draws of a pass share an instanced draw, and in what order batches
// are drawn: never in an order that could change a pixel.
#include "engine/render/DrawBatcher.h"
#include "engine/render/Model.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// Stand-ins: the batcher compares these pointers and never follows them.
kit::Model* const someModel = reinterpret_cast<kit::Model*>(0x10);
kit::VertexBuffer* const quad = reinterpret_cast<kit::VertexBuffer*>(0x20);
kit::Material* const fire = reinterpret_cast<kit::Material*>(0x30);
kit::Material* const smoke = reinterpret_cast<kit::Material*>(0x40);
kit::Material* const bullet = reinterpret_cast<kit::Material*>(0x50);

kit::ScreenRect rect(float minX, float minY, float maxX, float maxY)
{
    kit::ScreenRect r;
    r.minX = minX;
    r.minY = minY;
    r.maxX = maxX;
    r.maxY = maxY;
    r.empty = false;
    return r;
}

const kit::ScreenRect left = rect(-0.9f, -0.1f, -0.5f, 0.1f);
const kit::ScreenRect right = rect(0.5f, -0.1f, 0.9f, 0.1f);
const kit::ScreenRect middle = rect(-0.2f, -0.2f, 0.2f, 0.2f);

kit::DrawItem batchable(kit::Material* material, bool additive, kit::ScreenRect where = middle, float priority = 0.0f)
{
    kit::DrawItem item;
    item.instanced = someModel;
    item.buffer = quad;
    item.material = material;
    item.additive = additive;
    item.footprint = where;
    item.priority = priority;
    return item;
}

kit::DrawItem alone(float priority = 0.0f)
{
    kit::DrawItem item; // text, an animated model: drawn by itself, anywhere
    item.priority = priority;
    return item;
}

using Batches = std::vector<std::vector<std::size_t>>;

Batches group(kit::DrawBatcher& batcher, const std::vector<kit::DrawItem>& items, bool reorder)
{
    Batches out;
    for (const auto& batch : batcher.group(items, reorder))
        out.emplace_back(batch.begin(), batch.end());
    return out;
}

} // namespace

TEST(DrawBatcher, NeighboursOfOneKindShareADraw)
{
    kit::DrawBatcher batcher;
    const std::vector<kit::DrawItem> items{batchable(fire, true), batchable(fire, true), batchable(fire, true)};
    EXPECT_EQ(group(batcher, items, false), (Batches{{0, 1, 2}}));
}

TEST(DrawBatcher, EveryPartOfTheKeyMatters)
{
    kit::DrawBatcher batcher;
    auto otherCulling = batchable(fire, true);
    otherCulling.cullFace = false;
    auto otherBuffer = batchable(fire, true);
    otherBuffer.buffer = reinterpret_cast<kit::VertexBuffer*>(0x21);
    const std::vector<kit::DrawItem> items{batchable(fire, true), batchable(fire, false), otherCulling, otherBuffer,
                                           batchable(smoke, true)};
    EXPECT_EQ(group(batcher, items, false), (Batches{{0}, {1}, {2}, {3}, {4}}));
}

TEST(DrawBatcher, WithoutReorderingOnlyNeighboursJoin)
{
    kit::DrawBatcher batcher;
    const std::vector<kit::DrawItem> items{batchable(fire, true, left), batchable(smoke, true, right),
                                           batchable(fire, true, left)};
    EXPECT_EQ(group(batcher, items, false), (Batches{{0}, {1}, {2}}));
}

TEST(DrawBatcher, AdditiveDrawsPassEachOtherWhereverTheyAre)
{
    kit::DrawBatcher batcher;
    const std::vector<kit::DrawItem> items{batchable(fire, true), batchable(smoke, true), batchable(fire, true),
                                           batchable(smoke, true)};
    EXPECT_EQ(group(batcher, items, true), (Batches{{0, 2}, {1, 3}}));
}

TEST(DrawBatcher, NothingPassesAnOverlappingAlphaBlendedDraw)
{
    kit::DrawBatcher batcher;
    // Smoke over the fire: the second fire particle must stay over the smoke.
    const std::vector<kit::DrawItem> items{batchable(fire, true), batchable(smoke, false), batchable(fire, true)};
    EXPECT_EQ(group(batcher, items, true), (Batches{{0}, {1}, {2}}));
}

TEST(DrawBatcher, DrawsApartOnTheScreenPassEachOther)
{
    kit::DrawBatcher batcher;
    const std::vector<kit::DrawItem> items{batchable(bullet, false, left), batchable(smoke, false, right),
                                           batchable(bullet, false, left), batchable(smoke, false, middle)};
    EXPECT_EQ(group(batcher, items, true), (Batches{{0, 2}, {1, 3}}));
}

TEST(DrawBatcher, AnAlphaBlendedDrawDoesNotPassAnOverlappingAdditiveOne)
{
    kit::DrawBatcher batcher;
    const std::vector<kit::DrawItem> items{batchable(smoke, false), batchable(fire, true), batchable(smoke, false)};
    EXPECT_EQ(group(batcher, items, true), (Batches{{0}, {1}, {2}}));
}

TEST(DrawBatcher, ADrawThatCannotBeBatchedHoldsEveryoneBack)
{
    kit::DrawBatcher batcher;
    const std::vector<kit::DrawItem> items{batchable(fire, true), alone(), batchable(fire, true)};
    EXPECT_EQ(group(batcher, items, true), (Batches{{0}, {1}, {2}}));
}

TEST(DrawBatcher, ABatchNeverSpansTwoRenderPriorities)
{
    kit::DrawBatcher batcher;
    const std::vector<kit::DrawItem> items{batchable(fire, true, middle, 0.0f), batchable(fire, true, middle, 1.0f),
                                           batchable(smoke, true, middle, 1.0f), batchable(fire, true, middle, 1.0f)};
    EXPECT_EQ(group(batcher, items, true), (Batches{{0}, {1, 3}, {2}}));
}

TEST(DrawBatcher, TheSameBatcherServesFrameAfterFrame)
{
    kit::DrawBatcher batcher;
    const std::vector<kit::DrawItem> many{batchable(fire, true), batchable(smoke, true), batchable(bullet, true)};
    EXPECT_EQ(group(batcher, many, true).size(), 3u);
    const std::vector<kit::DrawItem> few{batchable(fire, true), batchable(fire, true)};
    EXPECT_EQ(group(batcher, few, true), (Batches{{0, 1}}));
    EXPECT_TRUE(group(batcher, {}, true).empty());
}

// Whatever the mix, every item is drawn once, and any two items drawn in the
// other order than given are two additive batchable draws or lie apart.
TEST(DrawBatcher, OnlyDrawsThatCommuteChangePlaces)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-1.0f, 0.8f);
    std::uniform_int_distribution<int> kind(0, 9);
    kit::Material* const materials[] = {fire, smoke, bullet};
    kit::DrawBatcher batcher;
    for (int round = 0; round < 200; ++round) {
        std::vector<kit::DrawItem> items;
        const int count = 1 + static_cast<int>(random() % 60);
        float priority = 0.0f;
        for (int i = 0; i < count; ++i) {
            if (kind(random) == 0)
                priority += 1.0f;
            const float x = coordinate(random), y = coordinate(random);
            const int k = kind(random);
            if (k == 9)
                items.push_back(alone(priority));
            else
                items.push_back(batchable(materials[k % 3], k < 5, rect(x, y, x + 0.2f, y + 0.2f), priority));
        }
        std::vector<int> position(items.size(), -1);
        int drawn = 0;
        for (const auto& batch : batcher.group(items, true)) {
            for (std::size_t i = 0; i < batch.size(); ++i) {
                ASSERT_EQ(position[batch[i]], -1) << "item drawn twice";
                position[batch[i]] = drawn++;
                if (i > 0) {
                    EXPECT_TRUE(items[batch[i]].sharesDrawWith(items[batch[0]]));
                }
            }
        }
        ASSERT_EQ(drawn, count);
        for (std::size_t a = 0; a < items.size(); ++a) {
            for (std::size_t b = a + 1; b < items.size(); ++b) {
                if (position[b] > position[a])
                    continue;
                const kit::DrawItem& first = items[a];
                const kit::DrawItem& second = items[b];
                const bool bothAdditive = first.instanced && second.instanced && first.additive && second.additive;
                EXPECT_TRUE(bothAdditive || !first.footprint.overlaps(second.footprint))
                    << "round " << round << ": items " << a << " and " << b << " swapped";
                EXPECT_EQ(first.priority, second.priority);
            }
        }
    }
}
