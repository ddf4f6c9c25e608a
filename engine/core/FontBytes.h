#pragma once

#include <string>
#include <string_view>

namespace kit {

// UTF-8 text as the bitmap font's bytes: one byte per character, the code
// points up to 255 as themselves (ASCII and Latin-1, which cover the game's
// languages), a few typographic marks as their plain neighbours (curly
// quotes, dashes, the ellipsis, narrow and no-break spaces, the ligature
// oe), and anything else, malformed sequences included, as '?'. Control
// characters other than a newline become '?' too: the font's control cells
// hold the players' shapes, which no catalog may draw by accident.
std::string fontBytes(std::string_view utf8);

// The font's bytes back as UTF-8, for the log and for files.
std::string utf8FromFontBytes(std::string_view bytes);

} // namespace kit
