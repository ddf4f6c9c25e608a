#pragma once

namespace skyscuffle {

// How much larger than their designed size words are drawn on the menus and
// over the match, from the player's text size (lookSettings::textSize): 1 to 2. Screens lay their
// lines out from it (taller lines, fewer to a panel, a list that scrolls),
// so that the larger words still stay on their plates and on the window.
float textScale();

// A designed line height at the player's text size.
inline float scaledText(float size)
{
    return size * textScale();
}

} // namespace skyscuffle
