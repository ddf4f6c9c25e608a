#pragma once

#include <string_view>

namespace skyscuffle {

// Whether every character is printable ASCII (space to tilde): text from a
// peer that reaches the console or the screen, with no control characters
// and nothing the bitmap font cannot draw.
[[nodiscard]] bool isPrintable(std::string_view text);

} // namespace skyscuffle
