#pragma once

#include <glm/vec2.hpp>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace skyscuffle {

// Where the words over a match stand at the player's text size (TextScale.h),
// in overlay units (the window is 2 high). The top's middle has the clock,
// with the sides' points beside it in a team match and the round's line under
// it in a match of rounds; the top corners have what a copy shows besides
// (the other copies' links, a watcher's line, a replay's status), each in the
// room the middle leaves it, or under the middle where that room is too
// narrow. At the designed size (100 %) everything stands where it always did.
namespace hud {

// The HUD is laid out for a 4:3 window, the narrowest it is drawn on: x runs
// from -aspect to aspect. A wider window only adds room at the sides, where
// what is pinned to its edges moves out.
inline constexpr float aspect = 4.0f / 3.0f;
// What keeps words apart across, and a corner's block from the middle's.
inline constexpr float gap = 0.04f;

// A rectangle of the HUD: left, bottom, right, top.
struct Area {
    float left = 0.0f, bottom = 0.0f, right = 0.0f, top = 0.0f;
};

// The width a glyph takes at a line height (the font's cells are 34 x 64).
[[nodiscard]] constexpr float advance(float size)
{
    return size * 34.0f / 64.0f;
}

// The clock (" 2:05"): its line height, its line's bottom, and its origin's
// x (its five characters' cells start one advance right of it).
[[nodiscard]] float clockSize();
[[nodiscard]] float clockBaseline();
[[nodiscard]] float clockOrigin();

// The round's line under the clock, centred: its words, height and bottom.
[[nodiscard]] std::string roundLine(std::int32_t round, std::int32_t toWin);
[[nodiscard]] float roundLineSize();
[[nodiscard]] float roundLineBaseline();

// A team match's points beside the clock: their line height, the places
// their texts are made at, as a fraction of the half-width (the sun's at -x,
// its digits starting one advance right of it; the moon's at x, its digits
// ending one advance right of it), their line's bottom; and each side's
// badge, its width and its centre from its side's place, x as a fraction of
// the half-width.
[[nodiscard]] float sidePointsSize();
[[nodiscard]] float sidePointsX();
[[nodiscard]] float sidePointsBaseline();
[[nodiscard]] float sideBadgeSize();
[[nodiscard]] glm::vec2 sideBadgeOffset(bool sun);

// What the top's middle covers: the clock (two digits of minutes), the
// sides' points (three digits each) with their badges, and the round's line
// (the longest a match has).
[[nodiscard]] std::vector<Area> topMiddle(bool sides, bool rounds);

// Where a block of words in a top corner stands: its top, and its inner edge
// (the x it must end before on the left, start after on the right).
struct Corner {
    float top = 0.0f;
    float inner = 0.0f;
    bool under = false; // under the middle, the corner beside it being too narrow
};

// The corner's room from `outer` (the block's outer edge; negative on the
// left) to the middle's areas less a gap, from `top` down: the nearest of
// them across, or only of those that the block, as tall as `heightFor` the
// room says, comes down beside. Where that is narrower than `least`, the
// block goes under the middle's areas, with the room to the middle of the
// window.
[[nodiscard]] Corner corner(bool left, float outer, float top, float least, const std::vector<Area>& middle,
                            const std::function<float(float room)>& heightFor);

// `words` broken into lines of `width` at the glyph size `size`: each line at
// its runs of two or more spaces first (keys listed in a row, "Space pause
// Left/Right 10 s"), packing what fits, at single spaces where a piece is
// still too long, and a word longer than a line (a file's name) cut.
[[nodiscard]] std::vector<std::string> breakLines(const std::string& words, float width, float size);

// Lines joined with line breaks.
[[nodiscard]] std::string joined(const std::vector<std::string>& lines);

} // namespace hud

} // namespace skyscuffle
