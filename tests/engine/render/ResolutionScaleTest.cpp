// At what share of the screen's resolution a scene is drawn, and which
// renderers count as software ones.
#include "engine/render/ResolutionScale.h"
#include "engine/render/state/SoftwareRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr float budget = 800.0f * 600.0f;

} // namespace

TEST(ResolutionScale, AChosenScaleHoldsOnEveryRendererWithinItsRange)
{
    EXPECT_FLOAT_EQ(kit::resolutionScale(0.75f, false, {1920, 1080}, budget), 0.75f);
    EXPECT_FLOAT_EQ(kit::resolutionScale(0.5f, true, {640, 480}, budget), 0.5f) << "even where the budget is not hit";
    EXPECT_FLOAT_EQ(kit::resolutionScale(1.0f, true, {3840, 2160}, budget), 1.0f) << "the player may ask for full size";
    EXPECT_FLOAT_EQ(kit::resolutionScale(0.01f, false, {800, 600}, budget), 0.25f);
    EXPECT_FLOAT_EQ(kit::resolutionScale(7.0f, false, {800, 600}, budget), 1.0f);
    EXPECT_FLOAT_EQ(kit::resolutionScale(std::numeric_limits<float>::infinity(), true, {800, 600}, budget), 1.0f);
}

TEST(ResolutionScale, AutomaticKeepsASoftwareRendererWithinItsPixelsAndACardAtFullSize)
{
    EXPECT_FLOAT_EQ(kit::resolutionScale(0.0f, false, {3840, 2160}, budget), 1.0f);
    EXPECT_FLOAT_EQ(kit::resolutionScale(0.0f, true, {800, 600}, budget), 1.0f) << "at the budget: full size";
    EXPECT_FLOAT_EQ(kit::resolutionScale(0.0f, true, {640, 480}, budget), 1.0f) << "never above full size";
    const float hd = kit::resolutionScale(0.0f, true, {1920, 1080}, budget);
    EXPECT_NEAR(hd, std::sqrt(budget / (1920.0f * 1080.0f)), 1e-6f);
    EXPECT_NEAR(1920.0f * hd * 1080.0f * hd, budget, 1.0f) << "the scaled scene has the budget's pixels";
    EXPECT_FLOAT_EQ(kit::resolutionScale(-1.0f, true, {1920, 1080}, budget), hd) << "below zero is automatic too";
    EXPECT_FLOAT_EQ(kit::resolutionScale(std::nanf(""), true, {1920, 1080}, budget), hd) << "so is a broken value";
    EXPECT_FLOAT_EQ(kit::resolutionScale(0.0f, true, {16384, 16384}, budget), 0.25f) << "never below a quarter";
}

TEST(ResolutionScale, NoScreenOrNoBudgetDrawsAtFullSize)
{
    EXPECT_FLOAT_EQ(kit::resolutionScale(0.0f, true, {0, 0}, budget), 1.0f);
    EXPECT_FLOAT_EQ(kit::resolutionScale(0.0f, true, {1920, -1}, budget), 1.0f);
    EXPECT_FLOAT_EQ(kit::resolutionScale(0.0f, true, {1920, 1080}, 0.0f), 1.0f);
    EXPECT_FLOAT_EQ(kit::resolutionScale(0.0f, true, {1920, 1080}, std::nanf("")), 1.0f);
}

TEST(SoftwareRenderer, MesasSoftwareRasterisersAreKnownByName)
{
    EXPECT_TRUE(kit::isSoftwareRendererName("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(kit::isSoftwareRendererName("softpipe"));
    EXPECT_TRUE(kit::isSoftwareRendererName("Mesa X11 Software Rasterizer"));
    EXPECT_TRUE(kit::isSoftwareRendererName("SWR (LLVM 11.0.1, 256 bits)"));
    EXPECT_FALSE(kit::isSoftwareRendererName("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
    EXPECT_FALSE(kit::isSoftwareRendererName("NVIDIA GeForce GTX 1060/PCIe/SSE2"));
    EXPECT_FALSE(kit::isSoftwareRendererName(""));
}
