#pragma once

#include <chrono>
#include <string_view>

namespace skyscuffle {

// One line on standard error for a named call whose arguments a handler
// refused ("Refused "NAME": WHY"). A flood of refusals (a hostile peer's)
// costs at most linesPerSecond lines a second per function and reason; the
// rest are counted and the count goes with the next line.
void refuseCall(std::string_view function, std::string_view why);

// The same, as of `now`: a second of lines starts with the first line told
// at least a second after the last second's start.
void refuseCall(std::string_view function, std::string_view why, std::chrono::steady_clock::time_point now);

namespace refusals {
inline constexpr int linesPerSecond = 20;
} // namespace refusals

} // namespace skyscuffle
