#pragma once

#include "engine/network/LinkQuality.h"

#include <glm/vec3.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace kit {
class World;
}

namespace skyscuffle {

// What the join screen and the match write beside another copy's players
// about the link to that copy: "42 ms", "180 ms 3%" (the loss when there is
// any), and for a poor link a sign and a word as well as a colour, so that
// nobody needs to tell red from the rest: "! 310 ms 7% loss" or "! 310 ms".
std::string linkLabel(const kit::LinkQuality& link);

// The label's colour: a warm red for a poor link, a quiet pale blue otherwise.
inline constexpr glm::vec3 fineLinkColour{0.72f, 0.84f, 0.95f};
inline constexpr glm::vec3 poorLinkColour{1.0f, 0.38f, 0.26f};
glm::vec3 linkColour(const kit::LinkQuality& link);

// The link to copy `origin` as the world's network system knows it; nothing
// for the world's own copy, without a network system, or before the figures.
std::optional<kit::LinkQuality> linkTo(kit::World* world, std::uint32_t origin);

} // namespace skyscuffle
