#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

namespace fontatlas {

// Owns one FreeType library instance. Faces opened with it must be closed before it is destroyed.
class FreeTypeLibrary {
public:
    FreeTypeLibrary();
    ~FreeTypeLibrary();
    FreeTypeLibrary(const FreeTypeLibrary&) = delete;
    FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;

    [[nodiscard]] FT_Library handle() const { return library; }

private:
    FT_Library library = nullptr;
};

} // namespace fontatlas
