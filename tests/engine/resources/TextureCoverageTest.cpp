// Where an image can show anything, on a coarse grid with a margin of one cell.
#include "engine/resources/TextureCoverage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A transparent RGBA image with the given texels made visible (alpha `alpha`).
std::vector<unsigned char> image(unsigned width, unsigned height, std::initializer_list<std::pair<unsigned, unsigned>> shown,
                                 unsigned char alpha = 255)
{
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width) * height * 4, 0);
    for (const auto& [x, y] : shown) {
        rgba[(static_cast<std::size_t>(y) * width + x) * 4 + 0] = 200; // colour alone shows nothing
        rgba[(static_cast<std::size_t>(y) * width + x) * 4 + 3] = alpha;
    }
    return rgba;
}

// The grid as rows of '#' (covered) and '.', top row first.
std::string picture(const kit::TextureCoverage& coverage)
{
    std::string text;
    for (int r = 0; r < coverage.rows; ++r) {
        for (int c = 0; c < coverage.columns; ++c)
            text += coverage.covered(c, r) ? '#' : '.';
        text += '\n';
    }
    return text;
}

} // namespace

TEST(TextureCoverage, AVisibleTexelCoversItsCellAndTheCellsAroundIt)
{
    // 40 x 20 pixels on 8 x 4 cells of 5 x 5; the texel (22, 6) is in cell (4, 1).
    const auto rgba = image(40, 20, {{22, 6}}, 1);
    const auto coverage = kit::TextureCoverage::of(rgba.data(), 40, 20, 8, 4);
    ASSERT_TRUE(coverage.known());
    EXPECT_EQ(picture(coverage), "...###..\n"
                                 "...###..\n"
                                 "...###..\n"
                                 "........\n");
    EXPECT_FALSE(coverage.covered(-1, 0));
    EXPECT_FALSE(coverage.covered(8, 0));
    EXPECT_FALSE(coverage.covered(0, 4));
}

TEST(TextureCoverage, TheImagesEdgesLandInTheGridsLastCells)
{
    const auto rgba = image(40, 20, {{39, 19}, {0, 0}});
    EXPECT_EQ(picture(kit::TextureCoverage::of(rgba.data(), 40, 20, 8, 4)), "##......\n"
                                                                            "##......\n"
                                                                            "......##\n"
                                                                            "......##\n");
    const auto uneven = image(7, 3, {{6, 2}}); // cells of unequal size
    EXPECT_EQ(picture(kit::TextureCoverage::of(uneven.data(), 7, 3, 3, 3)), "...\n.##\n.##\n");
}

TEST(TextureCoverage, NothingVisibleCoversNothingAndNoImageIsUnknown)
{
    const auto clear = image(16, 16, {});
    const auto coverage = kit::TextureCoverage::of(clear.data(), 16, 16, 4, 4);
    ASSERT_TRUE(coverage.known());
    EXPECT_EQ(picture(coverage), "....\n....\n....\n....\n");
    EXPECT_FALSE(kit::TextureCoverage::of(nullptr, 16, 16, 4, 4).known());
    EXPECT_FALSE(kit::TextureCoverage::of(clear.data(), 0, 16, 4, 4).known());
    EXPECT_FALSE(kit::TextureCoverage::of(clear.data(), 16, 16, 0, 4).known());
    const auto tiny = image(2, 2, {{0, 0}});
    const auto small = kit::TextureCoverage::of(tiny.data(), 2, 2, 16, 16);
    EXPECT_EQ(small.columns, 2) << "no more cells than texels";
    EXPECT_EQ(picture(small), "##\n##\n");
}
