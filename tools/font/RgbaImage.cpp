#include "RgbaImage.h"

#include <lodepng.h>

#include <stdexcept>

namespace fontatlas {

RgbaImage::RgbaImage(int width, int height)
    : width(width), height(height), pixels(static_cast<std::size_t>(width) * height * 4, 255)
{
    for (std::size_t alpha = 3; alpha < pixels.size(); alpha += 4) {
        pixels[alpha] = 0;
    }
}

void writePng(const RgbaImage& image, const std::string& path)
{
    lodepng::State state;
    state.info_raw.colortype = LCT_RGBA;
    state.info_raw.bitdepth = 8;
    // All-white pixels would otherwise be stored as grey + alpha; the game loads RGBA.
    state.encoder.auto_convert = 0;
    state.info_png.color.colortype = LCT_RGBA;
    state.info_png.color.bitdepth = 8;

    std::vector<unsigned char> png;
    if (const unsigned error = lodepng::encode(png, image.pixels, static_cast<unsigned>(image.width),
                                               static_cast<unsigned>(image.height), state)) {
        throw std::runtime_error("cannot encode " + path + ": " + lodepng_error_text(error));
    }
    if (const unsigned error = lodepng::save_file(png, path)) {
        throw std::runtime_error("cannot write " + path + ": " + lodepng_error_text(error));
    }
}

} // namespace fontatlas
