#include "ScreenRect.h"

#include <algorithm>
#include <cmath>

namespace kit {
namespace {

// A fragment is shaded where a pixel centre falls inside a triangle, so it
// lies inside the box of the projected corners; rasterisers snap corners to
// a sub-pixel grid (1/256 of a pixel and finer), and this margin, half a pixel
// of an 800-pixel-wide window, covers that and float rounding with room to spare.
constexpr float margin = 1.0f / 800.0f;

} // namespace

bool ScreenRect::overlaps(const ScreenRect& other) const
{
    if (empty || other.empty)
        return false;
    if (everywhere || other.everywhere)
        return true;
    return minX <= other.maxX && other.minX <= maxX && minY <= other.maxY && other.minY <= maxY;
}

void ScreenRect::unite(const ScreenRect& other)
{
    if (other.empty || everywhere)
        return;
    if (other.everywhere || empty) {
        *this = other;
        return;
    }
    minX = std::min(minX, other.minX);
    minY = std::min(minY, other.minY);
    maxX = std::max(maxX, other.maxX);
    maxY = std::max(maxY, other.maxY);
}

ScreenRect projectBox(const glm::mat4& mvp, const glm::vec3& min, const glm::vec3& max)
{
    ScreenRect rect;
    // A flat box (a quad) has four distinct corners, not eight.
    const int zs = min.z == max.z ? 1 : 2;
    for (int corner = 0; corner < 4 * zs; ++corner) {
        const glm::vec4 at((corner & 1) ? max.x : min.x, (corner & 2) ? max.y : min.y, (corner & 4) ? max.z : min.z,
                           1.0f);
        const glm::vec4 clip = mvp * at;
        if (!(clip.w > 1e-6f))
            return ScreenRect::whole();
        const float x = clip.x / clip.w, y = clip.y / clip.w;
        if (!std::isfinite(x) || !std::isfinite(y))
            return ScreenRect::whole();
        if (rect.empty) {
            rect.minX = rect.maxX = x;
            rect.minY = rect.maxY = y;
            rect.empty = false;
        } else {
            rect.minX = std::min(rect.minX, x);
            rect.maxX = std::max(rect.maxX, x);
            rect.minY = std::min(rect.minY, y);
            rect.maxY = std::max(rect.maxY, y);
        }
    }
    rect.minX -= margin;
    rect.minY -= margin;
    rect.maxX += margin;
    rect.maxY += margin;
    return rect;
}

} // namespace kit
