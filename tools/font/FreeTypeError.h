#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

namespace fontatlas {

// FreeType's own text for an error code when it was built with error strings, else the number.
std::string describeFreeTypeError(FT_Error error);

} // namespace fontatlas
