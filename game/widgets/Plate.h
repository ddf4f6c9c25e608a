#pragma once

#include "game/widgets/Overlay.h"

#include <glm/vec2.hpp>

namespace kit {
class Sprite;
class World;
} // namespace kit

namespace skyscuffle {

namespace widgets {

// Where a plate stands: its centre and its width and height, in overlay units.
struct Box {
    glm::vec2 centre{0.0f};
    glm::vec2 size{0.0f};

    // A box centred at `x`, `width` wide, from `top` down to `bottom`.
    [[nodiscard]] static Box spanning(float x, float width, float top, float bottom)
    {
        return Box{glm::vec2(x, (top + bottom) * 0.5f), glm::vec2(width, top - bottom)};
    }
};

// A dark, see-through plate with rounded corners and a light rim, as on the
// title picture, that text stands on: centred at `position`, `size` wide and high.
// Every plate's sprite carries this tag: what stands on a plate is checked
// against it (the words must stay inside their plate).
inline constexpr const char* plateTag = "plate";

kit::Sprite* addPlate(kit::World* world, glm::vec2 position, glm::vec2 size, float layer = plateLayer);
inline kit::Sprite* addPlate(kit::World* world, const Box& box, float layer = plateLayer)
{
    return addPlate(world, box.centre, box.size, layer);
}

} // namespace widgets

} // namespace skyscuffle
