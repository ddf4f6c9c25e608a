#pragma once

#include "Resourceloader.h"
#include "Texture.h"

#include <vector>

namespace kit {

// PNG textures: decoded with lodepng on any thread, uploaded on the main one.
// An unreadable or invalid file gives a 0 x 0 texture, without a message.
class TextureLoader : public Resourceloader<Texture> {
public:
    void load() override;
    void finish() override;

    std::vector<unsigned char> pixels; // RGBA8, first row first
    unsigned width = 0;
    unsigned height = 0;
    TextureCoverage coverage;     // found on the loading thread
    std::vector<MipLevel> levels; // made there too: the mipmaps below the image
};

} // namespace kit
