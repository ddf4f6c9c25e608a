#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fontatlas {

// 8-bit RGBA pixels, rows top-down, as PNG stores them. Starts white and fully transparent:
// with straight alpha, linear filtering then blends glyph edges towards white, never towards black.
struct RgbaImage {
    RgbaImage(int width, int height);

    void setAlpha(int x, int y, std::uint8_t alpha)
    {
        pixels[(static_cast<std::size_t>(y) * width + x) * 4 + 3] = alpha;
    }

    int width;
    int height;
    std::vector<std::uint8_t> pixels;
};

// Writes the image as an 8-bit RGBA PNG, whatever its content (no automatic colour type).
// Throws std::runtime_error when the file cannot be encoded or written.
void writePng(const RgbaImage& image, const std::string& path);

} // namespace fontatlas
