#pragma once

#include <cstdint>
#include <vector>

namespace kit {

// Where an image can show anything: a coarse grid over it whose cells are
// marked when a texel in them, or in a neighbouring cell, is not fully
// transparent. The neighbours count because filtering (and each smaller
// mipmap) reads a little across a cell's edge. A sprite drawn over the
// marked cells only shows the same pixels as over the whole image: blended
// or discarded, a fully transparent texel adds nothing, yet a software
// renderer pays to shade it.
class TextureCoverage {
public:
    // Of RGBA8 pixels, rows first row (the image's top) first. An empty
    // image, or a grid of no cells, gives no coverage (known() false).
    static TextureCoverage of(const unsigned char* rgba, unsigned width, unsigned height, int columns, int rows);

    [[nodiscard]] bool known() const { return columns > 0 && rows > 0; }
    // Row 0 is the image's top; outside the grid nothing is covered.
    [[nodiscard]] bool covered(int column, int row) const;

    int columns = 0;
    int rows = 0;
    std::vector<std::uint8_t> cells; // row by row
};

} // namespace kit
