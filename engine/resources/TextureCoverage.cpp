#include "TextureCoverage.h"

#include <algorithm>
#include <cstddef>

namespace kit {

TextureCoverage TextureCoverage::of(const unsigned char* rgba, unsigned width, unsigned height, int columns, int rows)
{
    TextureCoverage coverage;
    if (!rgba || width == 0 || height == 0 || columns <= 0 || rows <= 0)
        return coverage;
    columns = std::min(columns, static_cast<int>(width));
    rows = std::min(rows, static_cast<int>(height));
    std::vector<std::uint8_t> seen(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), 0);
    for (unsigned y = 0; y < height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(rows) / height;
        const unsigned char* line = rgba + static_cast<std::size_t>(y) * width * 4;
        for (unsigned x = 0; x < width; ++x) {
            if (line[static_cast<std::size_t>(x) * 4 + 3] != 0) {
                const std::size_t column = static_cast<std::size_t>(x) * static_cast<std::size_t>(columns) / width;
                seen[row * static_cast<std::size_t>(columns) + column] = 1;
            }
        }
    }
    coverage.columns = columns;
    coverage.rows = rows;
    coverage.cells.assign(seen.size(), 0);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            bool any = false;
            for (int dr = -1; dr <= 1 && !any; ++dr) {
                for (int dc = -1; dc <= 1 && !any; ++dc) {
                    const int nr = r + dr, nc = c + dc;
                    any = nr >= 0 && nr < rows && nc >= 0 && nc < columns &&
                          seen[static_cast<std::size_t>(nr) * static_cast<std::size_t>(columns) +
                               static_cast<std::size_t>(nc)] != 0;
                }
            }
            coverage.cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns) +
                           static_cast<std::size_t>(c)] = any ? 1 : 0;
        }
    }
    return coverage;
}

bool TextureCoverage::covered(int column, int row) const
{
    if (column < 0 || row < 0 || column >= columns || row >= rows)
        return false;
    return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(column)] !=
           0;
}

} // namespace kit
