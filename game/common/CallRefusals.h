#pragma once

#include <string_view>

namespace skyscuffle {

// One line on standard error for a named call whose arguments a handler
// refused ("Refused "NAME": WHY"). A flood of refusals (a hostile peer's)
// costs at most a few lines a second per function and reason; the rest are
// counted and the count goes with the next line.
void refuseCall(std::string_view function, std::string_view why);

} // namespace skyscuffle
