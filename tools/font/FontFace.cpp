#include "FontFace.h"

#include "FreeTypeError.h"

#include FT_OUTLINE_H
#include FT_BBOX_H

#include <stdexcept>

namespace fontatlas {

namespace {

// Hinting would snap stems to the pixel grid of one size; the atlas is scaled on screen anyway.
constexpr FT_Int32 unhinted = FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;

} // namespace

FontFace::FontFace(const std::string& path)
{
    if (const FT_Error error = FT_New_Face(library.handle(), path.c_str(), 0, &face)) {
        face = nullptr;
        throw std::runtime_error("cannot open font " + path + ": " + describeFreeTypeError(error));
    }
    if (!FT_IS_SCALABLE(face)) {
        FT_Done_Face(face);
        face = nullptr;
        throw std::runtime_error("cannot use font " + path + ": it has no scalable outlines");
    }
}

FontFace::~FontFace()
{
    if (face) {
        FT_Done_Face(face);
    }
}

bool FontFace::hasGlyph(char32_t codePoint) const
{
    return FT_Get_Char_Index(face, codePoint) != 0;
}

void FontFace::load(char32_t codePoint, FT_Int32 flags)
{
    if (const FT_Error error = FT_Load_Char(face, codePoint, flags)) {
        throw std::runtime_error("cannot load glyph U+" + std::to_string(static_cast<unsigned>(codePoint)) + ": " +
                                 describeFreeTypeError(error));
    }
}

FontFace::Outline FontFace::outline(char32_t codePoint)
{
    load(codePoint, FT_LOAD_NO_SCALE);
    const FT_GlyphSlot slot = face->glyph;
    Outline result{{0, 0, 0, 0}, slot->advance.x};
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE && slot->outline.n_points > 0) {
        FT_Outline_Get_BBox(&slot->outline, &result.ink);
    }
    return result;
}

void FontFace::setPixelsPerEm(FT_F26Dot6 pixelsPerEm)
{
    // At 72 dpi one point is one pixel, so the character size is the pixel size.
    if (const FT_Error error = FT_Set_Char_Size(face, 0, pixelsPerEm, 72, 72)) {
        throw std::runtime_error("cannot set the font size: " + describeFreeTypeError(error));
    }
}

GlyphBitmap FontFace::render(char32_t codePoint, FT_Vector origin)
{
    FT_Set_Transform(face, nullptr, &origin);
    load(codePoint, unhinted);
    FT_Set_Transform(face, nullptr, nullptr);

    const FT_GlyphSlot slot = face->glyph;
    // The normal mode is FreeType's 256-level anti-aliased rasterizer: linear area coverage, no gamma.
    if (const FT_Error error = FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL)) {
        throw std::runtime_error("cannot render glyph U+" + std::to_string(static_cast<unsigned>(codePoint)) + ": " +
                                 describeFreeTypeError(error));
    }
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.num_grays != 256) {
        throw std::runtime_error("FreeType rendered glyph U+" + std::to_string(static_cast<unsigned>(codePoint)) +
                                 " in an unexpected pixel mode");
    }

    GlyphBitmap result;
    result.left = slot->bitmap_left;
    result.top = slot->bitmap_top;
    result.width = static_cast<int>(bitmap.width);
    result.rows = static_cast<int>(bitmap.rows);
    result.coverage.resize(static_cast<std::size_t>(result.width) * result.rows);
    const int stride = bitmap.pitch >= 0 ? bitmap.pitch : -bitmap.pitch;
    for (int row = 0; row < result.rows; ++row) {
        // A negative pitch means the rows are stored bottom-up.
        const int storedRow = bitmap.pitch >= 0 ? row : result.rows - 1 - row;
        const unsigned char* source = bitmap.buffer + static_cast<std::ptrdiff_t>(storedRow) * stride;
        for (int x = 0; x < result.width; ++x) {
            result.coverage[static_cast<std::size_t>(row) * result.width + x] = source[x];
        }
    }
    return result;
}

} // namespace fontatlas
