// Renders a TrueType font into the game's bitmap font: a 16 x 16 grid of equal cells, one per
// byte, white glyphs with their coverage as alpha. Same font, same cell height, same bytes.
//   font_atlas_generator /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf assets/fonts/UbuntuMono.png [cellHeight]
#include "AtlasLayout.h"
#include "FontFace.h"
#include "RenderedAtlas.h"
#include "RgbaImage.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

using namespace fontatlas;

constexpr int defaultCellHeight = 64;  // pixels; the game scales the texture, mipmaps cover smaller text
constexpr int smallestCellHeight = 16; // below this the margin leaves too little room for a glyph
constexpr int largestCellHeight = 256; // 16 cells of 256 px make a 4096 px texture
constexpr FT_F26Dot6 smallestPixelsPerEm = 64 * 4;

struct Arguments {
    std::string fontPath;
    std::string pngPath;
    int cellHeight = defaultCellHeight;
};

Arguments parseArguments(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        throw std::invalid_argument("usage: font_atlas_generator FONT.ttf OUTPUT.png [cellHeight]");
    }
    Arguments arguments{argv[1], argv[2]};
    if (argc == 4) {
        const std::string_view text = argv[3];
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), arguments.cellHeight);
        if (error != std::errc{} || end != text.data() + text.size() || arguments.cellHeight % 2 != 0 ||
            arguments.cellHeight < smallestCellHeight || arguments.cellHeight > largestCellHeight) {
            throw std::invalid_argument("the cell height must be an even number of pixels from " +
                                        std::to_string(smallestCellHeight) + " to " +
                                        std::to_string(largestCellHeight) + ", not " + std::string(text));
        }
    }
    return arguments;
}

// The plan bounds the exact outlines, but the baseline snaps to a whole pixel and FreeType rounds
// its scale, so a glyph can still reach a pixel into the margin: shrink by 1/64 pixel until none does.
RenderedAtlas renderFitting(FontFace& face, AtlasLayout& layout)
{
    RenderedAtlas atlas = renderAtlas(face, layout);
    while (atlas.overflowingGlyphs > 0) {
        if (--layout.pixelsPerEm < smallestPixelsPerEm) {
            throw std::runtime_error("the glyphs do not fit the cells at any usable size");
        }
        atlas = renderAtlas(face, layout);
    }
    return atlas;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const Arguments arguments = parseArguments(argc, argv);
        FontFace face(arguments.fontPath);
        AtlasLayout layout = planLayout(face, arguments.cellHeight);
        const RenderedAtlas atlas = renderFitting(face, layout);
        writePng(atlas.image, arguments.pngPath);

        char size[32];
        std::snprintf(size, sizeof size, "%.2f", layout.pixelsPerEm / 64.0);
        std::cout << arguments.pngPath << ": atlas " << layout.atlasWidth() << "x" << layout.atlasHeight()
                  << " px, cell " << layout.cellWidth << "x" << layout.cellHeight << " px, font " << size
                  << " px/em, baseline " << layout.baseline() << " px above the cell bottom, margin " << layout.margin
                  << " px";
        if (atlas.missingGlyphs > 0) {
            std::cout << ", " << atlas.missingGlyphs << " bytes without a glyph left empty";
        }
        std::cout << "\n";
        return 0;
    } catch (const std::invalid_argument& error) {
        std::cerr << "font_atlas_generator: " << error.what() << "\n";
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "font_atlas_generator: " << error.what() << "\n";
        return 1;
    }
}
