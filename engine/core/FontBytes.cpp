#include "FontBytes.h"

#include <cstdint>

namespace kit {

namespace {

// A code point past Latin-1 as plain text, or nothing.
const char* plainOf(char32_t c)
{
    switch (c) {
    case 0x2018: // left and right single quotes, the apostrophe
    case 0x2019:
    case 0x201A:
        return "'";
    case 0x201C: // double quotes
    case 0x201D:
    case 0x201E:
        return "\"";
    case 0x2010: // hyphen, dashes, minus
    case 0x2011:
    case 0x2013:
    case 0x2014:
    case 0x2212:
        return "-";
    case 0x2026:
        return "...";
    case 0x2009: // thin, narrow no-break spaces (French typography)
    case 0x202F:
        return " ";
    case 0x0152:
        return "OE";
    case 0x0153:
        return "oe";
    default:
        return nullptr;
    }
}

void appendCodePoint(std::string& out, char32_t c)
{
    if (c == 0x00A0)
        out += ' ';
    else if (c == '\n' || (c >= 0x20 && c < 0x7F) || (c > 0xA0 && c <= 0xFF))
        out += static_cast<char>(static_cast<unsigned char>(c));
    else if (const char* plain = plainOf(c))
        out += plain;
    else
        out += '?';
}

} // namespace

std::string fontBytes(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int length = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            length = 1;
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            c = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            c = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            c = lead & 0x07;
        }
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= utf8.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms and surrogates are not characters either.
        static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid && (c < smallest[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF))
            valid = false;
        if (!valid) {
            out += '?';
            ++i; // one byte at a time, so the next character is read as its own
            continue;
        }
        appendCodePoint(out, c);
        i += static_cast<std::size_t>(length);
    }
    return out;
}

std::string utf8FromFontBytes(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char b : bytes) {
        const auto c = static_cast<unsigned char>(b);
        if (c < 0x80) {
            out += b;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace kit
