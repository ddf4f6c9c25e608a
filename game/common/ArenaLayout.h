#pragma once

#include "engine/core/Component.h"
#include "engine/core/EntityID.h"

namespace kit {
class World;
}

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <cstdint>
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
    std::string name;    // its word in rules, replays and on the command line
    std::string title;   // as the join screen names it
    std::string model;   // the stage drawn
    std::string preview; // the join screen's picture of it
    float scale = 1.0f;  // stage units to world units
    // Ceiling, floor, left and right wall, then whatever stands in between.
    std::vector<ArenaBox> solids;
    glm::vec2 openLow{0.0f}, openHigh{0.0f}; // the open space, world units
    // Where a match starts: the spawn circle about spawnCentre, stretched by
    // spawnSpread to fit the open sky around the obstacles.
    glm::vec2 spawnCentre{0.0f};
    glm::vec2 spawnSpread{1.0f};
    // Where pick-ups come, world units, clear of the solid parts.
    glm::vec2 pickupLow{0.0f}, pickupHigh{0.0f};

    // A solid part in world units: its lower left and upper right corners.
    [[nodiscard]] glm::vec2 low(const ArenaBox& box) const { return glm::vec2(box.x, box.y) * scale; }
    [[nodiscard]] glm::vec2 high(const ArenaBox& box) const
    {
        return glm::vec2(box.x + box.width, box.y + box.height) * scale;
    }
    [[nodiscard]] glm::vec2 middle() const { return (openLow + openHigh) * 0.5f; }
};

// Where the game camera stands as a match or a round starts: over the spawn
// circle, far enough back to show it whole.
[[nodiscard]] glm::vec3 openingView(const ArenaLayout& layout);

// Today's stage: the meadow between two towers under a girder, with a ledge
// by the left tower.
[[nodiscard]] const ArenaLayout& meadow();
// A narrow, tall canyon under a trestle bridge, a rock arch in its middle
// (its span; its legs stand behind the planes, who fly under it or over).
[[nodiscard]] const ArenaLayout& canyon();
// A wide, low harbour under a gantry: a crane with a hanging container, a
// boat and a lighthouse.
[[nodiscard]] const ArenaLayout& harbour();

// The arenas a match may be flown in, by their number in the rules.
inline constexpr std::int32_t arenaCount = 3;
// The arena of that number; the meadow for any number that is none.
[[nodiscard]] const ArenaLayout& arenaLayout(std::int32_t number);
// The number of the arena of that name; -1 for a name that is none.
[[nodiscard]] std::int32_t arenaNumber(const std::string& name);

// Whether a circle of `radius` about p overlaps a solid part of the arena.
[[nodiscard]] bool touchesSolid(const ArenaLayout& layout, glm::vec2 p, float radius);
// The nearest point to p where a circle of `radius` is in the open, clear of
// every solid part: p itself when it is; else held inside the open space and
// out through the nearest face of whatever it overlaps; the open space's
// middle when nothing near will do.
[[nodiscard]] glm::vec2 clearOf(const ArenaLayout& layout, glm::vec2 p, float radius);

// Where to head for on the way from `from` to `to` round whatever stands in
// the open space (every solid part after the four sides): `to` itself when
// the straight line passes every such part by `room`; else the corner, `room`
// out from the first part in the way, that makes the shorter way round (of
// those in the open).
[[nodiscard]] glm::vec2 wayTo(const ArenaLayout& layout, glm::vec2 from, glm::vec2 to, float room);

// The arena a match world is flown in, on its stage entity; computer pilots
// and whatever else needs the arena's shape find it here.
class ArenaPlan : public kit::Component {
public:
    explicit ArenaPlan(const ArenaLayout& layout);

    const ArenaLayout& layout;
    std::vector<kit::EntityID> solids; // the entities that collide as its solid parts
};

// The layout of the world's arena; the meadow's where the world has none.
[[nodiscard]] const ArenaLayout& layoutOf(kit::World* world);

} // namespace skyscuffle
