#include "SheetImage.h"

#include <lodepng.h>

#include <algorithm>

namespace gallery {

SheetImage::SheetImage(int width, int height, std::uint32_t rgba)
    : pixels(static_cast<std::size_t>(width) * height * 4), width_(width), height_(height)
{
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = static_cast<unsigned char>(rgba >> 24);
        pixels[i + 1] = static_cast<unsigned char>(rgba >> 16);
        pixels[i + 2] = static_cast<unsigned char>(rgba >> 8);
        pixels[i + 3] = static_cast<unsigned char>(rgba);
    }
}

void SheetImage::blit(const SheetImage& tile, int x, int y)
{
    for (int row = 0; row < tile.height_; ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= height_)
            continue;
        for (int col = 0; col < tile.width_; ++col) {
            const int tx = x + col;
            if (tx < 0 || tx >= width_)
                continue;
            std::copy_n(&tile.pixels[(static_cast<std::size_t>(row) * tile.width_ + col) * 4], 4,
                        &pixels[(static_cast<std::size_t>(ty) * width_ + tx) * 4]);
        }
    }
}

void SheetImage::checker(int x, int y, int w, int h, int cell)
{
    for (int row = std::max(0, y); row < std::min(height_, y + h); ++row)
        for (int col = std::max(0, x); col < std::min(width_, x + w); ++col) {
            const bool dark = ((row - y) / cell + (col - x) / cell) % 2;
            unsigned char* p = &pixels[(static_cast<std::size_t>(row) * width_ + col) * 4];
            p[0] = p[1] = p[2] = dark ? 150 : 190;
            p[3] = 255;
        }
}

void SheetImage::composite(const SheetImage& tile, int x, int y)
{
    for (int row = 0; row < tile.height_; ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= height_)
            continue;
        for (int col = 0; col < tile.width_; ++col) {
            const int tx = x + col;
            if (tx < 0 || tx >= width_)
                continue;
            const unsigned char* s = &tile.pixels[(static_cast<std::size_t>(row) * tile.width_ + col) * 4];
            unsigned char* d = &pixels[(static_cast<std::size_t>(ty) * width_ + tx) * 4];
            const int a = s[3];
            for (int c = 0; c < 3; ++c)
                d[c] = static_cast<unsigned char>((s[c] * a + d[c] * (255 - a)) / 255);
            d[3] = 255;
        }
    }
}

SheetImage SheetImage::recoloured(const float (&matrix)[3][3]) const
{
    SheetImage out(width_, height_);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        for (int r = 0; r < 3; ++r) {
            float v = 0.0f;
            for (int c = 0; c < 3; ++c)
                v += matrix[r][c] * static_cast<float>(pixels[i + static_cast<std::size_t>(c)]);
            out.pixels[i + static_cast<std::size_t>(r)] = static_cast<unsigned char>(std::clamp(v, 0.0f, 255.0f));
        }
        out.pixels[i + 3] = pixels[i + 3];
    }
    return out;
}

bool SheetImage::save(const std::string& path) const
{
    return lodepng::encode(path, pixels, static_cast<unsigned>(width_), static_cast<unsigned>(height_)) == 0;
}

} // namespace gallery
