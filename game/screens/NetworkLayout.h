#pragma once

#include "game/widgets/Panel.h"

namespace skyscuffle {

namespace networkScreen {

inline constexpr float optionTextSize = 0.075f;
inline constexpr float matchTextSize = 0.05f; // a running match's line, longer than the others
inline constexpr float cursorSize = 0.09f;
// The panels' left edge, and their right edge at 100 % and at 200 % (as far
// from the window's right edge as the left edge is from its left): between
// the two, it moves out as the words grow.
inline constexpr float panelLeft = -1.24f;
inline constexpr float panelRightAt100 = 0.30f, panelRightAt200 = 1.24f;
// The scroll bar at the right of a list longer than its room: its width, and
// the room it keeps from the words.
inline constexpr float barWidth = 0.03f, barRoom = 0.05f;

// Where the screen's pieces go at the player's text size: at 100 % the
// options from (-0.5, 0.4) down by 0.1, under a title at 0.66.
struct Layout {
    float scale = 1.0f;
    float right = panelRightAt100;                             // the panels' right edge
    float wordsRight = panelRightAt100 - widgets::panelMargin; // where their words end
    float titleSize = 0.1f, titleY = 0.66f, top = 0.84f;       // the title, and the panel's top edge
    float optionSize = optionTextSize, optionX = -0.5f;
    float matchSize = matchTextSize, matchX = -1.1f; // a running match's line starts further left
    float firstY = 0.4f, step = 0.1f;                // the first option's bottom, and down to the next
    float cursor = cursorSize, cursorGap = 0.045f;   // the cursor's picture, and its room from the words
    float helpSize = 0.055f;

    [[nodiscard]] float lineY(int index) const { return firstY - step * static_cast<float>(index); }
};

// The layout at the player's text size.
Layout layoutNow();

} // namespace networkScreen

} // namespace skyscuffle
