#include "PrintableText.h"

#include <algorithm>

namespace skyscuffle {

bool isPrintable(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

} // namespace skyscuffle
