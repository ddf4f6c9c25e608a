#include "RenderedAtlas.h"

#include "FontFace.h"

#include <cmath>

namespace fontatlas {

namespace {

// Copies the glyph's coverage into the cell whose top-left pixel is (cellLeft, cellTop), inside the
// margin only. Returns whether any covered pixel fell outside it.
bool blitClipped(RgbaImage& image, const AtlasLayout& layout, int cellLeft, int cellTop, const GlyphBitmap& glyph)
{
    bool clipped = false;
    for (int row = 0; row < glyph.rows; ++row) {
        // glyph.top counts up from the cell's bottom edge; image rows count down from its top.
        const int y = layout.cellHeight - glyph.top + row;
        for (int column = 0; column < glyph.width; ++column) {
            const std::uint8_t coverage = glyph.at(column, row);
            if (coverage == 0) {
                continue;
            }
            const int x = glyph.left + column;
            if (x < layout.margin || x >= layout.cellWidth - layout.margin || y < layout.margin ||
                y >= layout.cellHeight - layout.margin) {
                clipped = true;
                continue;
            }
            image.setAlpha(cellLeft + x, cellTop + y, coverage);
        }
    }
    return clipped;
}

} // namespace

RenderedAtlas renderAtlas(FontFace& face, const AtlasLayout& layout)
{
    RenderedAtlas atlas{RgbaImage(layout.atlasWidth(), layout.atlasHeight())};
    face.setPixelsPerEm(layout.pixelsPerEm);
    const FT_Pos baseline = static_cast<FT_Pos>(layout.baseline()) * 64;

    for (int byte = 0; byte < gridSize * gridSize; ++byte) {
        const char32_t codePoint = codePointOfByte(byte);
        if (codePoint == 0) {
            continue;
        }
        if (!face.hasGlyph(codePoint)) {
            ++atlas.missingGlyphs;
            continue;
        }
        // Centre the advance in the cell (1/64 pixel): in a monospace font every glyph then sits
        // where the text layout would put it.
        const double advance = face.outline(codePoint).advance * layout.pixelsPerUnit();
        const FT_Vector origin{static_cast<FT_Pos>(std::lround((layout.cellWidth - advance) / 2.0 * 64.0)), baseline};
        const GlyphBitmap glyph = face.render(codePoint, origin);
        const int cellLeft = (byte % gridSize) * layout.cellWidth;
        const int cellTop = (byte / gridSize) * layout.cellHeight;
        if (blitClipped(atlas.image, layout, cellLeft, cellTop, glyph)) {
            ++atlas.overflowingGlyphs;
        }
    }
    return atlas;
}

} // namespace fontatlas
