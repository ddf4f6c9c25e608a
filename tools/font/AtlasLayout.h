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

// The Unicode code point drawn in the cell of `byte`, or 0 for the control bytes, which stay empty.
char32_t codePointOfByte(int byte);

} // namespace fontatlas
