#include "NetworkLayout.h"

#include "game/looks/TextScale.h"

namespace skyscuffle {

namespace networkScreen {

Layout layoutNow()
{
    Layout l;
    const float s = textScale(), more = s - 1.0f;
    l.scale = s;
    l.right = panelRightAt100 + (panelRightAt200 - panelRightAt100) * more;
    l.wordsRight = l.right - widgets::panelMargin;
    l.titleSize = 0.1f * s;
    l.top = l.titleY + l.titleSize + 0.08f - 0.02f * more;
    l.optionSize = optionTextSize * s;
    l.matchSize = matchTextSize * s;
    // The cursor grows with the words: the lines start further left to keep it on the panel.
    l.optionX = -0.5f - 0.5f * more;
    l.matchX = -1.1f + 0.1f * more;
    // Less room between the title and the list, and between lines, than the words grow by.
    l.firstY = 0.4f + 0.085f * more - (l.optionSize - optionTextSize);
    l.step = 0.1f + 0.07f * more;
    l.cursor = cursorSize * s;
    l.cursorGap = 0.045f * s;
    l.helpSize = 0.055f * s;
    return l;
}

} // namespace networkScreen

} // namespace skyscuffle
