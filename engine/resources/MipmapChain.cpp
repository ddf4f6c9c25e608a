#include "MipmapChain.h"

#include <algorithm>
#include <cstddef>

namespace kit {
namespace {

MipLevel halve(const unsigned char* rgba, unsigned width, unsigned height)
{
    MipLevel next;
    next.width = std::max(width / 2, 1u);
    next.height = std::max(height / 2, 1u);
    next.pixels.resize(static_cast<std::size_t>(next.width) * next.height * 4);
    for (unsigned y = 0; y < next.height; ++y) {
        const unsigned y0 = std::min(y * 2, height - 1), y1 = std::min(y * 2 + 1, height - 1);
        for (unsigned x = 0; x < next.width; ++x) {
            const unsigned x0 = std::min(x * 2, width - 1), x1 = std::min(x * 2 + 1, width - 1);
            for (unsigned c = 0; c < 4; ++c) {
                const auto at = [&](unsigned px, unsigned py) {
                    return static_cast<unsigned>(rgba[(static_cast<std::size_t>(py) * width + px) * 4 + c]);
                };
                // Rounded to nearest: four equal texels stay what they were.
                const unsigned sum = at(x0, y0) + at(x1, y0) + at(x0, y1) + at(x1, y1);
                next.pixels[(static_cast<std::size_t>(y) * next.width + x) * 4 + c] =
                    static_cast<unsigned char>((sum + 2) / 4);
            }
        }
    }
    return next;
}

} // namespace

std::vector<MipLevel> smallerLevels(const unsigned char* rgba, unsigned width, unsigned height)
{
    std::vector<MipLevel> levels;
    if (!rgba || width == 0 || height == 0)
        return levels;
    while (width > 1 || height > 1) {
        levels.push_back(halve(rgba, width, height));
        rgba = levels.back().pixels.data();
        width = levels.back().width;
        height = levels.back().height;
    }
    return levels;
}

} // namespace kit
