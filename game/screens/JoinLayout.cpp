#include "JoinLayout.h"

#include "game/looks/TextScale.h"
#include "game/widgets/Panel.h"

#include <algorithm>
#include <cmath>

namespace skyscuffle {

namespace {

// The window's room at the narrowest the game opens (4:3), less a rim.
constexpr float leftEdge = -1.3f, rightEdge = 1.3f, topEdge = 0.97f, bottomEdge = -0.97f;
constexpr float inset = 0.06f;   // from a plate's left edge to its words
constexpr float pad = 0.03f;     // from a plate's top or bottom edge to its words
constexpr float between = 0.03f; // between two plates
constexpr int rosterSlots = 7;   // six players and the count under them
constexpr int rulesSlots = 7;    // six rules and the arena's name
constexpr int internetSlots = 3; // a code with its address, broken to the column
constexpr int hintLines = 2;
constexpr int helpLines = 7; // the keyboards', the pads' and the start's

} // namespace

JoinLayout joinLayout(bool friendsLines)
{
    JoinLayout l;
    const float scale = textScale();
    if (scale <= 1.0f)
        return l;
    l.compact = true;
    const float titles = 1.0f + 0.25f * (scale - 1.0f); // titles are big already: they grow less

    // The bottom: the players left, the rules (and the lines for friends
    // elsewhere over them) right, as tall as the taller needs.
    // The players' names and pilots are the longer lines: their side is the wider.
    const float middle = 0.12f;
    l.rosterSize = 0.06f * scale;
    l.rosterStep = 1.15f * l.rosterSize;
    l.playersTitleSize = 0.08f * titles;
    const float playersHeight = pad + l.playersTitleSize + pad + l.rosterStep * rosterSlots + pad;
    l.internetSize = 0.04f * scale;
    const float hintSize = 0.035f * scale;
    const float noticeHeight = pad + internetSlots * l.internetSize + 0.01f + hintLines * hintSize + pad;
    const float noticeRoom = friendsLines ? noticeHeight + between : 0.0f;
    l.rulesSize = 0.045f * scale;
    l.rulesStep = 1.2f * l.rulesSize;
    const float rulesHeight = pad + l.rulesStep * rulesSlots + pad;
    const float bottomHeight = std::max(playersHeight, noticeRoom + rulesHeight);
    const float bottomTop = bottomEdge + bottomHeight;

    l.players = widgets::Box::spanning((leftEdge + middle - between) * 0.5f, middle - between - leftEdge, bottomTop,
                                       bottomEdge);
    const float left = leftEdge + inset;
    l.playersTitleAt = {left, bottomTop - pad - l.playersTitleSize};
    l.rosterTop = l.playersTitleAt.y - pad - l.rosterSize;
    l.counterAt = {left, l.rosterTop - l.rosterStep * (rosterSlots - 1)};
    l.badgeSize = 0.075f * scale;
    l.badgeX = middle - between - inset - l.badgeSize * 0.5f;
    l.sessionAt = l.counterAt;
    l.sessionSize = l.rosterSize;

    const float columnLeft = middle + between;
    const float columnCentre = (columnLeft + rightEdge) * 0.5f, columnWidth = rightEdge - columnLeft;
    // Without room made for them (a copy that comes to host later), the
    // lines for friends stand over the column, on what is above it.
    const float noticeTop = friendsLines ? bottomTop : bottomTop + between + noticeHeight;
    l.notice = widgets::Box::spanning(columnCentre, columnWidth, noticeTop, noticeTop - noticeHeight);
    l.internetAt = {columnLeft + inset, noticeTop - pad - l.internetSize};
    l.internetWidth = rightEdge - widgets::panelMargin - l.internetAt.x;
    const float rulesTop = bottomEdge + rulesHeight;
    l.rules = widgets::Box::spanning(columnCentre, columnWidth, rulesTop, bottomEdge);
    l.rulesAt = {columnLeft + inset, rulesTop - pad - l.rulesSize};
    l.arenaPicture = false;
    l.captionAt = {l.rulesAt.x, l.rulesAt.y - l.rulesStep * (rulesSlots - 1)};
    l.captionSize = l.rulesSize;
    l.captionRight = rightEdge - widgets::panelMargin;

    // The top: the controls, the window's width, as many lines as fit.
    l.titleSize = 0.12f * titles;
    l.titleAt = {left, topEdge - pad - l.titleSize};
    l.lineSize = 0.06f * scale;
    l.lineStep = 1.2f * l.lineSize;
    l.groupGap = 0.0f;
    l.firstLine = {left, l.titleAt.y - 0.04f - l.lineSize};
    const float lowest = bottomTop + between + pad;
    l.perPage = std::max(1, static_cast<int>(std::floor((l.firstLine.y - lowest) / l.lineStep + 1e-4f)) + 1);
    l.perPage = std::min(l.perPage, helpLines);
    // The plate ends under its lines: what is left shows the landscape.
    const float lastLine = l.firstLine.y - l.lineStep * static_cast<float>(l.perPage - 1);
    l.help =
        widgets::Box::spanning(0.0f, rightEdge - leftEdge, topEdge, std::min(lastLine - pad - 0.02f, topEdge - 0.3f));
    return l;
}

} // namespace skyscuffle
