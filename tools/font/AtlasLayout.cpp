#include "AtlasLayout.h"

#include "FontFace.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace fontatlas {

namespace {

// The largest scale (pixels per font unit) at which `extent` font units from the cell centre
// stay within `room` pixels of it.
double scaleLimit(double room, double extent)
{
    return extent > 0.0 ? room / extent : HUGE_VAL;
}

} // namespace

int AtlasLayout::baseline() const
{
    return static_cast<int>(std::lround(cellHeight / 2.0 - lineCentre * pixelsPerUnit()));
}

char32_t codePointOfByte(int byte)
{
    // Printable ASCII and the printable half of Latin-1 coincide with their Unicode code points.
    const bool printable = (byte >= 32 && byte <= 126) || (byte >= 160 && byte <= 255);
    if (isShapeByte(byte)) {
        return shapeCodePoints[byte - firstShapeByte];
    }
    return printable ? static_cast<char32_t>(byte) : 0;
}

AtlasLayout planLayout(FontFace& face, int cellHeight)
{
    AtlasLayout layout;
    layout.cellHeight = cellHeight;
    layout.unitsPerEm = face.unitsPerEm();
    layout.lineCentre = (face.ascender() + face.descender()) / 2;
    const int lineHeight = face.ascender() - face.descender();
    const FT_Pos advance = face.outline(U'0').advance;
    if (lineHeight <= 0 || advance <= 0) {
        throw std::runtime_error("the font reports no line height or advance width");
    }

    // Text is drawn cell after cell, so the cell's aspect is the font's advance to its line height.
    layout.cellWidth = 2 * static_cast<int>(std::lround(cellHeight * static_cast<double>(advance) / lineHeight / 2.0));
    // Each mipmap level halves the margin; scaling it with the cell keeps small levels apart as long.
    layout.margin = std::max(1, cellHeight / 32);
    if (layout.cellWidth <= 2 * layout.margin) {
        throw std::runtime_error("the cells are too narrow for this font");
    }

    // Glyphs are centred in the cell horizontally by their advance and vertically by the line, so
    // every ink edge moves away from the cell centre in proportion to the scale.
    const double roomX = layout.cellWidth / 2.0 - layout.margin;
    const double roomY = cellHeight / 2.0 - layout.margin;
    // The letters set the size; each shape is fitted to its cell on its own (see renderAtlas).
    double scale = scaleLimit(roomY, lineHeight / 2.0);
    for (int byte = 0; byte < gridSize * gridSize; ++byte) {
        const char32_t codePoint = codePointOfByte(byte);
        if (codePoint == 0 || isShapeByte(byte) || !face.hasGlyph(codePoint)) {
            continue;
        }
        const FontFace::Outline glyph = face.outline(codePoint);
        const double centreX = glyph.advance / 2.0;
        scale = std::min(scale, scaleLimit(roomX, centreX - glyph.ink.xMin));
        scale = std::min(scale, scaleLimit(roomX, glyph.ink.xMax - centreX));
        scale = std::min(scale, scaleLimit(roomY, layout.lineCentre - static_cast<double>(glyph.ink.yMin)));
        scale = std::min(scale, scaleLimit(roomY, glyph.ink.yMax - static_cast<double>(layout.lineCentre)));
    }
    layout.pixelsPerEm = static_cast<FT_F26Dot6>(std::floor(scale * layout.unitsPerEm * 64.0));
    return layout;
}

} // namespace fontatlas
