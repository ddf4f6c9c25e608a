#include "PlatePixels.h"

#include <glm/common.hpp>
#include <glm/geometric.hpp>
#include <glm/vec2.hpp>
#include <glm/vec4.hpp>

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace skyscuffle::widgets {

std::vector<unsigned char> platePixels(int width, int height)
{
    const float radius = static_cast<float>(height) * 0.12f; // pixels
    const float rim = std::max(2.0f, static_cast<float>(height) * 0.012f);
    const glm::vec4 fill(0.08f, 0.12f, 0.24f, 0.7f);
    const glm::vec4 edge(0.85f, 0.9f, 1.0f, 0.9f);
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width * height) * 4);
    const glm::vec2 half(static_cast<float>(width) * 0.5f, static_cast<float>(height) * 0.5f);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Signed distance to the rounded rectangle's outline (negative inside).
            const glm::vec2 p = glm::abs(glm::vec2(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f) - half);
            const glm::vec2 q = p - (half - glm::vec2(radius));
            const float distance =
                glm::length(glm::max(q, glm::vec2(0.0f))) + std::min(std::max(q.x, q.y), 0.0f) - radius;
            const float inside = std::clamp(0.5f - distance, 0.0f, 1.0f); // one pixel of antialiasing
            const float onRim = std::clamp(distance + rim + 0.5f, 0.0f, 1.0f);
            glm::vec4 colour = glm::mix(fill, edge, onRim);
            colour.a *= inside;
            unsigned char* out = &pixels[static_cast<std::size_t>(y * width + x) * 4];
            for (int c = 0; c < 4; ++c)
                out[c] = static_cast<unsigned char>(std::lround(colour[c] * 255.0f));
        }
    }
    return pixels;
}

} // namespace skyscuffle::widgets
