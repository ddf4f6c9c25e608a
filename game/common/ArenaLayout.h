#pragma once

#include "engine/core/Component.h"

namespace kit {
class World;
}

#include <glm/vec2.hpp>

#include <string>
#include <vector>

namespace skyscuffle {

// A rectangle of an arena's solid parts as its stage is drawn: the lower left
// corner and the size, in the stage's own units (the layout's scale makes
// them world units).
struct ArenaBox {
    float x, y, width, height;
};

// What a match is flown in: the stage's picture, its solid parts (the sides
// and whatever stands inside) and the open space between the sides.
struct ArenaLayout {
    std::string name;
    std::string model;
    float scale = 1.0f; // stage units to world units
    std::vector<ArenaBox> solids;
    glm::vec2 openLow{0.0f}, openHigh{0.0f}; // the open space, world units

    // A solid part in world units: its lower left and upper right corners.
    [[nodiscard]] glm::vec2 low(const ArenaBox& box) const { return glm::vec2(box.x, box.y) * scale; }
    [[nodiscard]] glm::vec2 high(const ArenaBox& box) const
    {
        return glm::vec2(box.x + box.width, box.y + box.height) * scale;
    }
    [[nodiscard]] glm::vec2 middle() const { return (openLow + openHigh) * 0.5f; }
};

// Today's stage: the meadow between two towers under a girder, with a ledge
// by the left tower.
[[nodiscard]] const ArenaLayout& meadow();

// The arena a match world is flown in, on its stage entity; computer pilots
// and whatever else needs the arena's shape find it here.
class ArenaPlan : public kit::Component {
public:
    explicit ArenaPlan(const ArenaLayout& layout);

    const ArenaLayout& layout;
};

// The layout of the world's arena; the meadow's where the world has none.
[[nodiscard]] const ArenaLayout& layoutOf(kit::World* world);

} // namespace skyscuffle
