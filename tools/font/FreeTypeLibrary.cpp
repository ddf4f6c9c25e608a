#include "FreeTypeLibrary.h"

#include "FreeTypeError.h"

#include <stdexcept>

namespace fontatlas {

FreeTypeLibrary::FreeTypeLibrary()
{
    if (const FT_Error error = FT_Init_FreeType(&library)) {
        throw std::runtime_error("cannot initialise FreeType: " + describeFreeTypeError(error));
    }
}

FreeTypeLibrary::~FreeTypeLibrary()
{
    FT_Done_FreeType(library);
}

} // namespace fontatlas
