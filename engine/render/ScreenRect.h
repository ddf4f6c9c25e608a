#pragma once

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

namespace kit {

// A rectangle of the screen in normalised device coordinates (x and y from
// -1 to 1), or the whole plane: where a draw may touch pixels. Used to tell
// whether two draws can change places without changing the picture.
struct ScreenRect {
    float minX = 0.0f, minY = 0.0f, maxX = 0.0f, maxY = 0.0f;
    bool everywhere = false;
    bool empty = true;

    [[nodiscard]] static ScreenRect whole()
    {
        ScreenRect r;
        r.everywhere = true;
        r.empty = false;
        return r;
    }

    [[nodiscard]] bool overlaps(const ScreenRect& other) const;
    // Grows to cover the other rectangle too.
    void unite(const ScreenRect& other);
};

// The screen rectangle around a box (in a mesh's own units) seen through a
// model-view-projection matrix, widened a little against rounding. The
// whole plane when a corner is at or behind the eye (w <= 0), where the
// projection stops being a rectangle's worth of screen.
ScreenRect projectBox(const glm::mat4& mvp, const glm::vec3& min, const glm::vec3& max);

} // namespace kit
