#include "HudLayout.h"

#include "MatchRules.h"
#include "Rounds.h"

#include "game/looks/TextScale.h"

#include "engine/core/Translation.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace skyscuffle {

namespace hud {

namespace {

// How much of the text size's growth a thing takes: 0 at 100 %, `share` at 200 %.
float grown(float share)
{
    return share * (textScale() - 1.0f);
}

// Whether the area comes down beside a block that reaches down to `low`
// from `top` (a block may pass just over one).
bool beside(const Area& area, float low, float top)
{
    return area.top > low + 0.01f && area.bottom < top;
}

// The middle's nearest edge to a corner, less a gap, of the areas beside a
// block from `top` down to `low`; the window's middle without one.
float innerEdge(bool left, const std::vector<Area>& middle, float low, float top)
{
    float inner = left ? -gap * 0.5f : gap * 0.5f;
    for (const Area& area : middle) {
        if (beside(area, low, top))
            inner = left ? std::min(inner, area.left - gap) : std::max(inner, area.right + gap);
    }
    return inner;
}

// A word longer than a line cut into lines (a file's name).
std::vector<std::string> cut(const std::string& word, std::size_t room)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < word.size(); at += room)
        lines.push_back(word.substr(at, room));
    return lines.empty() ? std::vector<std::string>{word} : lines;
}

// A line of words broken at the runs of at least `least` spaces between its
// pieces, `room` glyphs to a line; a piece too long is broken at single
// spaces, and a word too long is cut.
std::vector<std::string> pack(const std::string& line, std::size_t room, std::size_t least)
{
    if (line.size() <= room)
        return {line};
    std::vector<std::string> pieces, before; // before[i]: the spaces that stood before pieces[i]
    const std::string run(least, ' ');
    std::string spaces;
    for (std::size_t at = 0;;) {
        const std::size_t found = line.find(run, at);
        pieces.push_back(line.substr(at, found == std::string::npos ? std::string::npos : found - at));
        before.push_back(spaces);
        if (found == std::string::npos)
            break;
        const std::size_t next = std::min(line.find_first_not_of(' ', found), line.size());
        spaces = line.substr(found, next - found);
        at = next;
        if (at == line.size())
            break; // spaces at the end
    }
    if (pieces.size() == 1)
        return least > 1 ? pack(line, room, 1) : cut(line, room);
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!current.empty() && current.size() + before[i].size() + pieces[i].size() <= room) {
            current += before[i] + pieces[i];
            continue;
        }
        if (!current.empty())
            lines.push_back(current);
        const std::vector<std::string> broken = least > 1 ? pack(pieces[i], room, 1) : cut(pieces[i], room);
        lines.insert(lines.end(), broken.begin(), broken.end() - 1);
        current = broken.back();
    }
    lines.push_back(current);
    return lines;
}

} // namespace

float clockSize()
{
    return scaledText(0.1f);
}

float clockBaseline()
{
    // Its top from 0.9 up to 0.96 at twice the size: larger digits take room downwards mostly.
    return 0.8f - grown(0.04f);
}

float clockOrigin()
{
    return -3.0f * advance(clockSize());
}

std::string roundLine(std::int32_t round, std::int32_t toWin)
{
    return kit::format(kit::tr("Round {1}, first to {2}"), {std::to_string(round), std::to_string(toWin)});
}

float roundLineSize()
{
    return scaledText(0.055f);
}

float roundLineBaseline()
{
    return clockBaseline() - scaledText(0.1f);
}

float sidePointsSize()
{
    return scaledText(0.08f);
}

float sidePointsX()
{
    // Three digits of each side's points keep clear of the clock as both grow.
    return 0.42f + grown(0.025f);
}

float sidePointsBaseline()
{
    return clockBaseline();
}

float sideBadgeSize()
{
    return 0.12f + grown(0.04f);
}

glm::vec2 sideBadgeOffset(bool sun)
{
    // As far from the points' first digit (the sun's) or last (the moon's)
    // as at the designed size, whatever the digits' and its own size; level
    // with the digits' middle.
    const float grownBadge = 0.5f * (sideBadgeSize() - 0.12f);
    const float grownDigit = advance(sidePointsSize()) - advance(0.08f);
    const float across = 0.1f * aspect + grownBadge + (sun ? -grownDigit : grownDigit);
    return {(sun ? -across : across) / aspect, 0.03f + grown(0.05f)};
}

std::vector<Area> topMiddle(bool sides, bool rounds)
{
    const float size = clockSize(), baseline = clockBaseline();
    std::vector<Area> areas{
        {clockOrigin() + advance(size), baseline, clockOrigin() + 6.0f * advance(size), baseline + size}};
    if (sides) {
        const float points = sidePointsSize(), step = advance(points), at = sidePointsX() * aspect;
        const float badge = sideBadgeSize(), badgeY = sidePointsBaseline() + sideBadgeOffset(true).y;
        const float sunBadge = -at + sideBadgeOffset(true).x * aspect;
        const float moonBadge = at + sideBadgeOffset(false).x * aspect;
        const float bottom = std::min(sidePointsBaseline(), badgeY - badge * 0.5f);
        const float top = std::max(sidePointsBaseline() + points, badgeY + badge * 0.5f);
        // The sun's three digits start one advance right of its place; the moon's end one advance right of its.
        areas.push_back({sunBadge - badge * 0.5f, bottom, -at + 4.0f * step, top});
        areas.push_back({at - 2.0f * step, bottom, moonBadge + badge * 0.5f, top});
    }
    if (rounds) {
        const float line = roundLineSize();
        const float width =
            advance(line) * static_cast<float>(roundLine(mostRounds(mostRoundsToWin), mostRoundsToWin).size());
        areas.push_back({-0.5f * width + advance(line), roundLineBaseline(), 0.5f * width + advance(line),
                         roundLineBaseline() + line});
    }
    return areas;
}

Corner corner(bool left, float outer, float top, float least, const std::vector<Area>& middle,
              const std::function<float(float room)>& heightFor)
{
    const auto room = [left, outer](float inner) { return left ? inner - outer : outer - inner; };
    const float lowest = -std::numeric_limits<float>::infinity();
    const float across = innerEdge(left, middle, lowest, top);
    if (room(across) >= least) {
        // Wider where the middle's widest areas stand lower than the block comes down.
        const float near = innerEdge(left, middle, top - heightFor(room(across)), top);
        if (room(near) > room(across) && room(innerEdge(left, middle, top - heightFor(room(near)), top)) >= room(near))
            return {top, near};
        return {top, across};
    }
    float under = top;
    for (const Area& area : middle)
        under = std::min(under, area.bottom - gap);
    return {under, left ? -gap * 0.5f : gap * 0.5f, true};
}

std::vector<std::string> breakLines(const std::string& words, float width, float size)
{
    const float step = advance(size);
    // A line of n glyphs covers n + 1 advances (it starts one glyph right of its origin).
    const auto room = static_cast<std::size_t>(step > 0.0f ? std::max(std::floor(width / step) - 1.0f, 1.0f) : 1e6f);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= words.size();) {
        const std::size_t end = std::min(words.find('\n', start), words.size());
        for (std::string& line : pack(words.substr(start, end - start), room, 2))
            lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (std::size_t i = 0; i < lines.size(); ++i)
        all += (i == 0 ? "" : "\n") + lines[i];
    return all;
}

} // namespace hud

} // namespace skyscuffle
