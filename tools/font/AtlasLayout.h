#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

namespace fontatlas {

class FontFace;

// The atlas is a square grid of cells, one per byte value.
constexpr int gridSize = 16;

// Cell size and glyph placement. A cell spans one line of text, the font's descender at the
// bottom to its ascender at the top, inside a transparent margin. Positions inside a cell
// count from its bottom-left corner, y up, as FreeType does.
struct AtlasLayout {
    int cellWidth = 0;          // pixels, even so that the cell centre is on a pixel edge
    int cellHeight = 0;         // pixels, one line
    int margin = 0;             // pixels left transparent along every cell edge
    FT_F26Dot6 pixelsPerEm = 0; // font size, 1/64 pixel per em
    int unitsPerEm = 0;         // the font's design grid
    int lineCentre = 0;         // midway between descender and ascender, font units above the baseline

    [[nodiscard]] int atlasWidth() const { return gridSize * cellWidth; }
    [[nodiscard]] int atlasHeight() const { return gridSize * cellHeight; }
    [[nodiscard]] double pixelsPerUnit() const { return pixelsPerEm / (64.0 * unitsPerEm); }
    // Whole pixels from the cell's bottom edge to the baseline, so letters stand on a pixel edge.
    [[nodiscard]] int baseline() const;
};

// Sizes the cells of a cellHeight-pixel line for `face` and picks the largest font size at which
// the line (descender to ascender) and every glyph's outline stay inside the margin.
AtlasLayout planLayout(FontFace& face, int cellHeight);

// The players' shapes, in the cells of the control bytes 1 to 6 (never a tab's or a line break's):
// a disc, a square, a triangle, a diamond, a star and a cross. Text names them by these bytes.
inline constexpr char32_t shapeCodePoints[] = {U'\u25CF', U'\u25A0', U'\u25B2', U'\u25C6', U'\u2605', U'\u271A'};
inline constexpr int firstShapeByte = 1;
inline constexpr int shapeCount = static_cast<int>(sizeof shapeCodePoints / sizeof shapeCodePoints[0]);

[[nodiscard]] constexpr bool isShapeByte(int byte)
{
    return byte >= firstShapeByte && byte < firstShapeByte + shapeCount;
}

// The Unicode code point drawn in the cell of `byte`: the byte's own for printable ASCII and
// Latin-1, a shape for the shape bytes, 0 for the other control bytes, which stay empty.
char32_t codePointOfByte(int byte);

} // namespace fontatlas
