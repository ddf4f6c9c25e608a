#pragma once

#include "engine/core/EntityID.h"

#include <glm/vec3.hpp>

#include <cstdint>
#include <string>

namespace skyscuffle {

// A measuring record of what this copy shows, for comparing copies that run
// on one machine (they share its wall clock): per frame, where every plane
// is shown; and each time a bullet meets a plane on the shooter's copy (it
// saw a hit) or on the plane's own copy (the hit counted). Off unless a file
// was opened (--view-log); then one line per event:
//   copy ORIGIN                         (this copy's origin, hex; first)
//   p WALL ORIGIN:SERIAL X Y            (a plane where this copy shows it)
//   seen WALL BULLET PLANE              (the shooter's copy: its bullet met a peer's plane)
//   counted WALL BULLET PLANE           (the plane's copy: a peer's bullet met it)
// WALL is seconds of the system clock, to the microsecond.
namespace viewLog {

// Starts the record in `path` (truncated). False, with one line on
// standard error, when the file cannot be written.
bool open(const std::string& path, std::uint32_t origin);
void close();
[[nodiscard]] bool active();

void plane(kit::EntityID plane, glm::vec3 position);
void seen(kit::EntityID bullet, kit::EntityID plane);
void counted(kit::EntityID bullet, kit::EntityID plane);

} // namespace viewLog
} // namespace skyscuffle
