#pragma once

#include "game/players/PlayerTextureInfo.h"

#include <optional>
#include <string>
#include <string_view>

namespace skyscuffle {

// What tells the players apart without their colours: a shape per row of
// playerColours(), painted on the row's livery and HUD icon and written in
// text with the game's font, which draws the shapes in the cells of the
// control bytes 1 to 6 (tools/font). Text from a peer never carries those
// bytes (isPrintable): a shape in text always comes from this table.
enum class Shape { circle = 1, square, triangle, diamond, star, cross };

inline constexpr int shapeCount = 6;

// The row's shape, found by its livery; none for a look of no row.
[[nodiscard]] std::optional<Shape> shapeOf(const PlayerTextureInfo& look);
[[nodiscard]] std::optional<Shape> shapeOfLivery(std::string_view modelTexture);
// The shape of the row of that colour name (a replay's list knows its players by name).
[[nodiscard]] std::optional<Shape> shapeOfColour(std::string_view colourName);

// The byte of the game's font that draws the shape.
[[nodiscard]] char glyphOf(Shape shape);
// What goes before a player's name: the shape and a space, or two spaces
// without one, so that names line up either way.
[[nodiscard]] std::string markOf(std::optional<Shape> shape);
// Whether a byte of text is one of the shapes.
[[nodiscard]] bool isShapeGlyph(char c);

} // namespace skyscuffle
