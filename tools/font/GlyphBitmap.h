#pragma once

#include <cstdint>
#include <vector>

namespace fontatlas {

// One rendered glyph: 8-bit coverage (0 = empty, 255 = fully covered), rows top-down.
// left and top place the bitmap's top-left corner in a y-up frame, in whole pixels.
struct GlyphBitmap {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage;

    [[nodiscard]] std::uint8_t at(int x, int row) const { return coverage[row * width + x]; }
};

} // namespace fontatlas
