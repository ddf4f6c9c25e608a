#include "FreeTypeError.h"

#include FT_FREETYPE_H

namespace fontatlas {

namespace {

struct ErrorText {
    int code;
    const char* text;
};

// FT_Error_String only knows the texts when FreeType was built with them (Debian's is not), so
// build the table from FreeType's error list the way its documentation shows.
// clang-format off
#undef FTERRORS_H_
#define FT_ERRORDEF(name, value, text) {value, text},
#define FT_ERROR_START_LIST {
#define FT_ERROR_END_LIST {0, nullptr}};
constexpr ErrorText errorTexts[] =
#include FT_ERRORS_H
// clang-format on

} // namespace

std::string describeFreeTypeError(FT_Error error)
{
    if (const char* text = FT_Error_String(error)) {
        return text;
    }
    for (const ErrorText& entry : errorTexts) {
        if (entry.text && entry.code == error) {
            return entry.text;
        }
    }
    return "FreeType error " + std::to_string(error);
}

} // namespace fontatlas
