#include "TextureLoader.h"

#include <lodepng.h>

namespace kit {

void TextureLoader::load()
{
    if (lodepng::decode(pixels, width, height, fullPath) != 0) {
        pixels.clear();
        width = height = 0;
    }
}

void TextureLoader::finish()
{
    target->upload(pixels.empty() ? nullptr : pixels.data(), width, height);
}

} // namespace kit
