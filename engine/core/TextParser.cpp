#include "TextParser.h"

#include "ParseError.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <limits>

namespace kit {
namespace {

bool isIdentifierChar(int c)
{
    return std::isalnum(c) || c == '_';
}

} // namespace

int TextParser::peek()
{
    return in->peek();
}

int TextParser::get()
{
    const int c = in->get();
    if (c == std::char_traits<char>::eof())
        return c;
    if (c == '\n') {
        ++line;
        column = 1;
    } else {
        ++column;
    }
    return c;
}

void TextParser::skip()
{
    constexpr int end = std::char_traits<char>::eof();
    for (;;) {
        while (peek() != end && std::isspace(peek()))
            get();
        if (peek() != '/')
            return;
        get();
        if (peek() == '/') {
            while (peek() != end && get() != '\n') {
            }
        } else if (peek() == '*') {
            get();
            int previous = 0;
            for (int c = get(); c != end; c = get()) {
                if (previous == '*' && c == '/')
                    break;
                previous = c;
            }
        }
        // A lone '/' is dropped and skipping goes on.
    }
}

void TextParser::expect(char c)
{
    skip();
    const int next = peek();
    if (next == c) {
        get();
        return;
    }
    const std::string found = next == std::char_traits<char>::eof() ? "end of input" : std::string(1, char(next));
    throw ParseError(line, column, c, found);
}

bool TextParser::accept(char c)
{
    skip();
    if (peek() != c)
        return false;
    get();
    return true;
}

std::string TextParser::readString()
{
    skip();
    return peek() == '"' ? readQuotedString() : readIdentifier();
}

std::string TextParser::readIdentifier()
{
    skip();
    std::string text;
    while (in->good() && isIdentifierChar(peek()))
        text += static_cast<char>(get());
    return text;
}

std::string TextParser::readQuotedString()
{
    constexpr int end = std::char_traits<char>::eof();
    expect('"');
    std::string text;
    for (int c = get(); c != end && c != '"'; c = get()) {
        if (c != '\\') {
            text += static_cast<char>(c);
            continue;
        }
        const int escaped = get();
        switch (escaped) {
        case end: return text;
        case '0': text += '\0'; break;
        case 'a': text += '\a'; break;
        case 'b': text += '\b'; break;
        case 'f': text += '\f'; break;
        case 'n': text += '\n'; break;
        case 'r': text += '\r'; break;
        case 't': text += '\t'; break;
        case 'v': text += '\v'; break;
        case '\n': break; // line continuation
        case '\r':
            if (peek() == '\n')
                get();
            break;
        default: text += static_cast<char>(escaped);
        }
    }
    return text;
}

int TextParser::readInt()
{
    skip();
    std::string text;
    while (std::isdigit(peek()) || peek() == '-')
        text += static_cast<char>(get());
    // As atoi does (the longest valid prefix, 0 when there is none), but
    // without its undefined behaviour on out-of-range numbers: they saturate.
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

float TextParser::readFloat()
{
    skip();
    std::string text;
    while (std::isdigit(peek()) || peek() == '-' || peek() == '.')
        text += static_cast<char>(get());
    // atof, whose overflow gives infinity; the float keeps it.
    return static_cast<float>(std::strtod(text.c_str(), nullptr));
}

} // namespace kit
