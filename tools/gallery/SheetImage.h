#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gallery {

// An RGBA picture, rows top first, that contact sheets are assembled in.
class SheetImage {
public:
    SheetImage(int width, int height, std::uint32_t rgba = 0x303038ff);

    // Copies `tile` with its top-left corner at (x, y), clipped to this picture.
    void blit(const SheetImage& tile, int x, int y);
    // A grey checkerboard of `cell`-pixel squares over the rectangle, so that
    // transparent parts of a sprite show as such.
    void checker(int x, int y, int w, int h, int cell);
    // Draws `tile` over the picture with its alpha (straight alpha).
    void composite(const SheetImage& tile, int x, int y);
    bool save(const std::string& path) const;
    // The picture with every pixel's colour multiplied by a 3 x 3 matrix
    // (rows: output red, green, blue), for colour-vision checks.
    [[nodiscard]] SheetImage recoloured(const float (&matrix)[3][3]) const;

    [[nodiscard]] int width() const { return width_; }
    [[nodiscard]] int height() const { return height_; }
    std::vector<unsigned char> pixels; // 4 bytes per pixel

private:
    int width_;
    int height_;
};

} // namespace gallery
