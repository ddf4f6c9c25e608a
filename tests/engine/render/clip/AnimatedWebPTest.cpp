// Clips: frames written as an animated WebP decode back to as many frames of
// the same size, each shown for its time, looking like what went in.
#include "engine/render/clip/AnimatedWebP.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

// A frame of one colour with a white square that moves with the frame number.
std::vector<std::uint8_t> frame(int width, int height, int n)
{
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width * height * 4));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool square = x >= n * 8 && x < n * 8 + 8 && y < 8;
            std::uint8_t* p = &rgba[static_cast<std::size_t>((y * width + x) * 4)];
            p[0] = square ? 255 : static_cast<std::uint8_t>(40 * n);
            p[1] = square ? 255 : 90;
            p[2] = square ? 255 : 200;
            p[3] = 255;
        }
    }
    return rgba;
}

int near(std::uint8_t a, int b)
{
    return std::abs(static_cast<int>(a) - b) <= 24;
}

class Clips : public test::InTempDirectory {};

} // namespace

TEST_F(Clips, FramesComeBackInNumberSizeTimingAndColour)
{
    kit::AnimatedWebP clip(64, 36);
    for (int n = 0; n < 6; ++n)
        ASSERT_TRUE(clip.add(frame(64, 36, n), n == 5 ? 100 : 33)) << n;
    EXPECT_FALSE(clip.add(frame(32, 36, 0), 33)) << "a frame of another size";
    EXPECT_EQ(clip.frames(), 6);
    std::string error;
    ASSERT_TRUE(clip.write("clip.webp", error)) << error;
    EXPECT_FALSE(std::filesystem::exists("clip.webp.part"));

    kit::DecodedAnimation decoded;
    ASSERT_TRUE(kit::decodeAnimatedWebP("clip.webp", decoded, error)) << error;
    EXPECT_EQ(decoded.width, 64);
    EXPECT_EQ(decoded.height, 36);
    ASSERT_EQ(decoded.frames.size(), 6u);
    EXPECT_EQ(decoded.timestamps, (std::vector<int>{33, 66, 99, 132, 165, 265}));
    for (int n = 0; n < 6; ++n) {
        const auto& f = decoded.frames[static_cast<std::size_t>(n)];
        const std::uint8_t* background = &f[static_cast<std::size_t>((30 * 64 + 60) * 4)];
        EXPECT_TRUE(near(background[0], 40 * n) && near(background[1], 90) && near(background[2], 200)) << n;
        const std::uint8_t* square = &f[static_cast<std::size_t>((3 * 64 + n * 8 + 3) * 4)];
        EXPECT_TRUE(near(square[0], 255) && near(square[1], 255)) << "the square of frame " << n;
    }
}

TEST_F(Clips, NothingToWriteAndNoPlaceToWriteItAreOneLineEach)
{
    std::string error;
    kit::AnimatedWebP empty(64, 36);
    EXPECT_FALSE(empty.write("empty.webp", error));
    EXPECT_EQ(error, "no frames to write to empty.webp");

    kit::AnimatedWebP clip(16, 16);
    ASSERT_TRUE(clip.add(frame(16, 16, 0), 40));
    EXPECT_FALSE(clip.write("no/such/dir/clip.webp", error));
    EXPECT_EQ(error, "cannot write no/such/dir/clip.webp");

    kit::DecodedAnimation decoded;
    std::ofstream("not.webp") << "RIFF, but not much else";
    EXPECT_FALSE(kit::decodeAnimatedWebP("not.webp", decoded, error));
    EXPECT_EQ(error, "not.webp is not an animated WebP");
}
