#pragma once

#include <string>

namespace kit {
class World;
}

namespace skyscuffle {

// What the match camera keeps in view for a viewer who flies no plane (a
// replay, a match watched live): one plane, named by its player's colour,
// or everyone.
namespace planeFollow {

// The colour of the plane after the one of `following`, in id order (every
// copy's order); empty, for everyone, after the last plane or when there is
// none.
[[nodiscard]] std::string nextAfter(kit::World& world, const std::string& following);

// The camera follows the plane of that colour (empty: everyone). Returns the
// colour followed: empty when no plane has it, and the camera then keeps
// everyone in view.
std::string follow(kit::World& world, const std::string& colourName);

} // namespace planeFollow

} // namespace skyscuffle
