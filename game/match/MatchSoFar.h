#pragma once

#include "game/players/PlayerTextureInfo.h"

#include "engine/core/EntityHandle.h"
#include "engine/network/NamedFunction.h"

#include <glm/gtc/quaternion.hpp>
#include <glm/vec3.hpp>

#include <cstdint>
#include <vector>

namespace kit {
class NetStream;
class World;
} // namespace kit

namespace skyscuffle {

// A running match as its host has it: what a copy that comes to watch needs
// to show it from now on and nothing else repeats, since it was said once
// before this copy came: who plays, where each plane is, the points counted
// so far and the time left. Every player is listed, the ones whose plane is
// still on its way too, so that its "spawnPlayer" finds it. The planes' motion, health and powers follow from
// their owners' state and calls, as on every copy.
struct MatchSoFar {
    struct Plane {
        kit::EntityID id;
        PlayerTextureInfo look;
        std::int32_t number = 0;
        bool flying = false; // the player has its plane (its place and points follow)
        glm::vec3 position{0.0f};
        glm::quat rotation{1.0f, 0.0f, 0.0f, 0.0f};
        std::int32_t points = 0;
    };
    float secondsLeft = 0.0f;
    bool dropIn = false; // the host seats players of copies that watch
    std::vector<Plane> planes;

    // More planes than any session flies: a longer list is cut here.
    static constexpr std::size_t mostPlanes = 16;
    // The longest a match runs, seconds.
    static constexpr float longestMatch = 24.0f * 3600.0f;
};

// Named-function argument encoding: the seconds left (f32), whether players
// may drop in (bit), the count of planes (u32), then per plane its id, its player's look and number (i32),
// whether it flies (bit), position, rotation and points (i32). A reader keeps at most mostPlanes,
// and none that the stream ends inside.
void serialize(kit::NetStream& stream, MatchSoFar& soFar);

// The match of `world` as it stands: every player, its plane and points, and
// the time left on the clock.
[[nodiscard]] MatchSoFar matchSoFar(kit::World& world, float secondsLeft);

// Makes, in a world that watches a match, each player and plane (of a
// player that flies) the snapshot names and the world does not have yet, through the same checks as a peer's
// calls that make them ("spawnPersistantPlayer", "spawnPlayer"), with its
// points so far (bounded as a final table's). Never anything of this copy's
// own. Returns every plane of the snapshot the world has, in its order.
std::vector<kit::EntityHandle> takeMatchSoFar(kit::World& world, const MatchSoFar& soFar);

// The time left a snapshot may start a watcher's clock with: finite, within
// a match's length; 0 for anything else.
[[nodiscard]] float secondsLeftOf(const MatchSoFar& soFar);

namespace fn {
// The hosting copy's word of its match to a copy that comes to watch it.
inline constexpr kit::NamedFunction<MatchSoFar> matchSoFar{"matchSoFar", kit::Caller::host};
// The hosting copy has all the watchers it takes: the copy of that origin,
// come to watch, goes back to its menu.
inline constexpr kit::NamedFunction<std::uint32_t> turnWatcherAway{"turnWatcherAway", kit::Caller::host};
} // namespace fn

} // namespace skyscuffle
