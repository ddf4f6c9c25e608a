#include "TextureLoader.h"

#include <lodepng.h>

namespace kit {

void TextureLoader::load()
{
    if (lodepng::decode(pixels, width, height, fullPath) != 0) {
        pixels.clear();
        width = height = 0;
        return;
    }
    // 16 x 16 cells: a sprite over the covered ones has a few dozen triangles.
    coverage = TextureCoverage::of(pixels.data(), width, height, 16, 16);
    levels = smallerLevels(pixels.data(), width, height);
}

void TextureLoader::finish()
{
    target->upload(pixels.empty() ? nullptr : pixels.data(), width, height, &levels);
    target->coverage = std::move(coverage);
}

} // namespace kit
