#pragma once

#include <vector>

namespace kit {

// One level of a texture's mipmap chain: RGBA8 pixels, first row first.
struct MipLevel {
    std::vector<unsigned char> pixels;
    unsigned width = 0;
    unsigned height = 0;
};

// The levels below an image, each half the one above (rounded down, at least
// one pixel), every pixel the mean of the two by two (or fewer, at an odd
// edge) it covers, down to one pixel. Made on the loading thread, so that
// the main thread only hands the levels to OpenGL: generating them there
// (glGenerateMipmap) costs a software renderer a shader compile and a draw
// per level on the main thread. Empty for an empty image.
std::vector<MipLevel> smallerLevels(const unsigned char* rgba, unsigned width, unsigned height);

} // namespace kit
