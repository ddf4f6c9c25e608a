#pragma once

#include "AtlasLayout.h"
#include "RgbaImage.h"

namespace fontatlas {

class FontFace;

// The atlas image and what did not go into it cleanly.
struct RenderedAtlas {
    RgbaImage image;
    int missingGlyphs = 0;     // printable bytes the font has no glyph for; their cells stay empty
    int overflowingGlyphs = 0; // glyphs with coverage inside the margin or beyond their cell, clipped there
};

// Renders every printable byte and every shape into its cell: byte b in column b mod 16 and row
// b div 16, row 0 at the top; glyphs white, their coverage as alpha. Throws std::runtime_error when
// the font lacks a shape or a shape does not fit its cell.
RenderedAtlas renderAtlas(FontFace& face, const AtlasLayout& layout);

} // namespace fontatlas
