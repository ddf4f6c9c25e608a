#include "RenderedAtlas.h"

#include "FontFace.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

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

// A shape as large as the cell's width allows inside the margin, whatever its size in the font,
// its ink centred across the cell and on the middle of the capitals' height, so that it stands
// among the letters as one of them and reads at the size of small text.
GlyphBitmap renderShape(FontFace& face, const AtlasLayout& layout, char32_t codePoint)
{
    if (!face.hasGlyph(codePoint)) {
        throw std::runtime_error("the font has no glyph for the shape U+" +
                                 std::to_string(static_cast<unsigned>(codePoint)));
    }
    const FT_BBox ink = face.outline(codePoint).ink;
    const double inkWidth = static_cast<double>(ink.xMax - ink.xMin);
    const double inkHeight = static_cast<double>(ink.yMax - ink.yMin);
    const double room = layout.cellWidth - 2.0 * layout.margin;
    if (inkWidth <= 0.0 || inkHeight <= 0.0) {
        throw std::runtime_error("the shape U+" + std::to_string(static_cast<unsigned>(codePoint)) + " has no ink");
    }
    // A 1/64 pixel less than the room, for the rounding of the size and the origin.
    const double pixelsPerUnit = (room - 1.0 / 32.0) / std::max(inkWidth, inkHeight);
    const double capitalsMiddle = layout.baseline() + face.outline(U'H').ink.yMax * layout.pixelsPerUnit() / 2.0;
    const double inkCentreX = (ink.xMin + ink.xMax) / 2.0 * pixelsPerUnit;
    const double inkCentreY = (ink.yMin + ink.yMax) / 2.0 * pixelsPerUnit;
    face.setPixelsPerEm(static_cast<FT_F26Dot6>(std::floor(pixelsPerUnit * layout.unitsPerEm * 64.0)));
    const FT_Vector origin{static_cast<FT_Pos>(std::lround((layout.cellWidth / 2.0 - inkCentreX) * 64.0)),
                           static_cast<FT_Pos>(std::lround((capitalsMiddle - inkCentreY) * 64.0))};
    GlyphBitmap glyph = face.render(codePoint, origin);
    face.setPixelsPerEm(layout.pixelsPerEm);
    return glyph;
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
        const int cellLeft = (byte % gridSize) * layout.cellWidth;
        const int cellTop = (byte / gridSize) * layout.cellHeight;
        if (isShapeByte(byte)) {
            // Shrinking the letters would not help a shape: its size is its own.
            if (blitClipped(atlas.image, layout, cellLeft, cellTop, renderShape(face, layout, codePoint))) {
                throw std::runtime_error("the shape U+" + std::to_string(static_cast<unsigned>(codePoint)) +
                                         " does not fit its cell");
            }
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
        if (blitClipped(atlas.image, layout, cellLeft, cellTop, glyph)) {
            ++atlas.overflowingGlyphs;
        }
    }
    return atlas;
}

} // namespace fontatlas
