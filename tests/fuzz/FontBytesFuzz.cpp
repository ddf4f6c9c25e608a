// Reads arbitrary bytes as UTF-8 the way a catalog's translation, a colour
// name from a peer or a replay's name reaches the screen, and as a pattern
// filled by format(). The font's bytes never hold a control byte but the
// newline (the players' shapes live there), are never longer than what was
// read, and go back to UTF-8 that reads as the same bytes.
#include "FuzzCheck.h"
#include "engine/core/FontBytes.h"
#include "engine/core/Translation.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string shown = kit::fontBytes(text);
    fuzz::require(shown.size() <= text.size()); // "..." for an ellipsis of three bytes, "oe" for two
    for (const char c : shown) {
        const auto b = static_cast<unsigned char>(c);
        fuzz::require(b == '\n' || (b >= 0x20 && b != 0x7F && (b < 0x80 || b > 0xA0)));
    }
    fuzz::require(kit::fontBytes(kit::utf8FromFontBytes(shown)) == shown);
    const std::string filled = kit::format(text, {"a", "bb"});
    fuzz::require(filled.size() <= text.size()); // "{2}" gives way to "bb"
    const std::string pseudo = kit::pseudoTranslation(text);
    for (const char c : pseudo)
        fuzz::require(static_cast<unsigned char>(c) >= 0x20 || c == '\n');
    return 0;
}
