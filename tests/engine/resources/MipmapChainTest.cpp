// The mipmap levels made on the loading thread: each half the one above, its
// texels the rounded mean of the two by two they cover, down to one texel.
#include "engine/resources/MipmapChain.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<unsigned char> grey(unsigned width, unsigned height, std::initializer_list<unsigned char> values)
{
    std::vector<unsigned char> rgba;
    auto it = values.begin();
    for (unsigned i = 0; i < width * height; ++i, ++it)
        rgba.insert(rgba.end(), {*it, *it, *it, 255});
    return rgba;
}

} // namespace

TEST(MipmapChain, EachLevelHalvesTheOneAboveDownToOneTexel)
{
    const std::vector<unsigned char> image(static_cast<std::size_t>(8 * 3 * 4), 7);
    const auto levels = kit::smallerLevels(image.data(), 8, 3);
    ASSERT_EQ(levels.size(), 3u); // 4 x 1, 2 x 1, 1 x 1
    EXPECT_EQ(levels[0].width, 4u);
    EXPECT_EQ(levels[0].height, 1u);
    EXPECT_EQ(levels[1].width, 2u);
    EXPECT_EQ(levels[2].width, 1u);
    EXPECT_EQ(levels[2].height, 1u);
    for (const auto& level : levels) {
        ASSERT_EQ(level.pixels.size(), static_cast<std::size_t>(level.width) * level.height * 4);
        for (unsigned char value : level.pixels)
            EXPECT_EQ(value, 7) << "equal texels stay what they were";
    }
    EXPECT_TRUE(kit::smallerLevels(image.data(), 1, 1).empty()) << "one texel has nothing below it";
    EXPECT_TRUE(kit::smallerLevels(nullptr, 8, 3).empty());
    EXPECT_TRUE(kit::smallerLevels(image.data(), 0, 3).empty());
}

TEST(MipmapChain, ATexelIsTheRoundedMeanOfTheTwoByTwoItCovers)
{
    // 4 x 2:  0  10 | 100 200
    //         20 30 | 101 255
    const auto image = grey(4, 2, {0, 10, 100, 200, 20, 30, 101, 255});
    const auto levels = kit::smallerLevels(image.data(), 4, 2);
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_EQ(levels[0].pixels[0], 15);      // 60 / 4
    EXPECT_EQ(levels[0].pixels[4], 164);     // 656 / 4
    EXPECT_EQ(levels[0].pixels[3], 255) << "alpha averages like the colours";
    EXPECT_EQ(levels[1].pixels[0], 90);      // (15 + 164) / 2 = 89.5, rounded up
}

TEST(MipmapChain, AnOddEdgeAveragesWhatItHas)
{
    // 3 x 1: the second level texel covers columns 0 and 1 only; a 1 x 3
    // column halves along its height alone.
    const auto row = grey(3, 1, {10, 20, 250});
    const auto levels = kit::smallerLevels(row.data(), 3, 1);
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0].width, 1u);
    EXPECT_EQ(levels[0].pixels[0], 15);
    const auto column = grey(1, 3, {40, 60, 0});
    const auto down = kit::smallerLevels(column.data(), 1, 3);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(down[0].height, 1u);
    EXPECT_EQ(down[0].pixels[0], 50);
}
