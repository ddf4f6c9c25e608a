#pragma once

#include "FreeTypeLibrary.h"
#include "GlyphBitmap.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

namespace fontatlas {

// One scalable font face, opened from a file, that loads glyphs unhinted so their shapes
// scale exactly with the size.
class FontFace {
public:
    // The outline of one glyph in font units, unscaled and unhinted.
    struct Outline {
        FT_BBox ink;    // exact bounds of the drawn shape; all zero for blank glyphs
        FT_Pos advance; // horizontal pen advance
    };

    // Throws std::runtime_error when the file cannot be opened or is not a scalable font.
    explicit FontFace(const std::string& path);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // Vertical metrics of the whole face in font units (the descender is negative).
    [[nodiscard]] int unitsPerEm() const { return face->units_per_EM; }
    [[nodiscard]] int ascender() const { return face->ascender; }
    [[nodiscard]] int descender() const { return face->descender; }

    [[nodiscard]] bool hasGlyph(char32_t codePoint) const;
    [[nodiscard]] Outline outline(char32_t codePoint);

    // Font size in 1/64 pixel per em; fractional sizes are honoured since nothing is hinted.
    void setPixelsPerEm(FT_F26Dot6 pixelsPerEm);

    // Renders the glyph anti-aliased with its origin at `origin` (1/64 pixel, y up), so the
    // bitmap's left and top come out in the same frame as the origin.
    [[nodiscard]] GlyphBitmap render(char32_t codePoint, FT_Vector origin);

private:
    void load(char32_t codePoint, FT_Int32 flags);

    FreeTypeLibrary library; // declared first so it outlives the face
    FT_Face face = nullptr;
};

} // namespace fontatlas
