#include "ValueParser.h"

#include "ScriptLexer.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace peer {
namespace {

bool isHex(const std::string& text)
{
    const std::size_t digits = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    return text.size() > digits + 1 && text[digits] == '0' && (text[digits + 1] == 'x' || text[digits + 1] == 'X');
}

// The integer a number token spells, if it spells one within 64 bits.
bool toInteger(const std::string& text, std::int64_t& out)
{
    if (text.find_first_of(".eE") != std::string::npos && !isHex(text))
        return false;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, isHex(text) ? 16 : 10);
    if (errno != 0 || end != text.c_str() + text.size() || end == text.c_str())
        return false;
    out = value;
    return true;
}

bool toReal(const std::string& text, float& out)
{
    std::int64_t whole = 0;
    if (toInteger(text, whole)) {
        out = static_cast<float>(whole);
        return true;
    }
    if (isHex(text))
        return false;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || end == text.c_str() || std::isnan(value))
        return false;
    // Beyond the float range a literal means what it says: an infinity.
    out = static_cast<float>(value);
    return true;
}

// The float words: nan, inf, huge (the largest finite float), with a sign.
bool namedReal(const std::string& word, float& out)
{
    const bool negative = !word.empty() && word[0] == '-';
    const std::string bare = negative ? word.substr(1) : word;
    if (bare == "nan")
        out = std::numeric_limits<float>::quiet_NaN();
    else if (bare == "inf")
        out = std::numeric_limits<float>::infinity();
    else if (bare == "huge")
        out = FLT_MAX;
    else
        return false;
    if (negative)
        out = -out;
    return true;
}

} // namespace

// An integer literal within [low, high], or (where allowed) one of the
// numbers known while the script runs.
bool ValueParser::integer(Number& out, std::int64_t low, std::int64_t high, bool allowSources)
{
    const std::string expected = "an integer from " + std::to_string(low) + " to " + std::to_string(high) +
                                 (allowSources ? " (or me, them, index, new, last)" : "");
    if (allowSources && in_.peek().kind == Token::Kind::word) {
        const std::string& w = in_.peek().text;
        if (w == "me")
            out.source = Number::Source::mine;
        else if (w == "them" || w == "host")
            out.source = Number::Source::them;
        else if (w == "index")
            return indexForm(out);
        else if (w == "new")
            out.source = Number::Source::fresh;
        else if (w == "last")
            out.source = Number::Source::last;
        else
            return in_.fail(expected);
        in_.take();
        return true;
    }
    std::int64_t value = 0;
    if (in_.peek().kind != Token::Kind::number || !toInteger(in_.peek().text, value) || value < low || value > high)
        return in_.fail(expected);
    in_.take();
    out.source = Number::Source::literal;
    out.integer = value;
    return true;
}

// index, optionally "* FACTOR", then optionally an offset ("+ 2", "- 40", "-40").
bool ValueParser::indexForm(Number& out)
{
    in_.take(); // index
    out.source = Number::Source::index;
    auto factor = [this](double& into) {
        float value = 0.0f;
        if (in_.peek().kind != Token::Kind::number || !toReal(in_.peek().text, value) || !std::isfinite(value) ||
            std::abs(value) > 1e9f)
            return in_.fail("a finite number up to 1e9");
        in_.take();
        into = value;
        return true;
    };
    if (in_.isPunct('*')) {
        in_.take();
        if (!factor(out.scale))
            return false;
    }
    if (in_.peek().kind == Token::Kind::number && (in_.peek().text[0] == '-' || in_.peek().text[0] == '+'))
        return factor(out.offset);
    if (in_.isPunct('+') || in_.isPunct('-')) {
        const bool minus = in_.take().text == "-";
        if (!factor(out.offset))
            return false;
        if (minus)
            out.offset = -out.offset;
    }
    return true;
}

bool ValueParser::real(Number& out)
{
    out.isReal = true;
    if (in_.peek().kind == Token::Kind::word) {
        if (in_.isWord("index"))
            return indexForm(out);
        if (!namedReal(in_.peek().text, out.real))
            return in_.fail("a number (or nan, inf, -inf, huge, -huge, index)");
        in_.take();
        return true;
    }
    if (in_.peek().kind != Token::Kind::number || !toReal(in_.peek().text, out.real))
        return in_.fail("a number (or nan, inf, -inf, huge, -huge, index)");
    in_.take();
    return true;
}

bool ValueParser::entity(Value& out)
{
    if (!in_.isWord("id"))
        return in_.fail("an entity id(ORIGIN, SERIAL)");
    in_.take();
    return constructor("id", out, 0);
}

bool ValueParser::value(Value& out, int depth)
{
    const Token& t = in_.peek();
    if (t.kind == Token::Kind::string) {
        out.kind = Value::Kind::string;
        out.bytes = in_.take().text;
        return true;
    }
    if (t.kind == Token::Kind::number) {
        Number n;
        std::int64_t whole = 0;
        if (toInteger(t.text, whole)) {
            if (whole < std::numeric_limits<std::int32_t>::min() || whole > 0xFFFFFFFFll)
                return in_.fail("an integer that fits 32 bits");
            out.kind = whole > std::numeric_limits<std::int32_t>::max() ? Value::Kind::u32 : Value::Kind::i32;
            n.integer = whole;
            in_.take();
        } else {
            out.kind = Value::Kind::f32;
            if (!real(n))
                return false;
        }
        out.numbers.push_back(n);
        return true;
    }
    if (t.kind != Token::Kind::word)
        return in_.fail("a value");
    const std::string word = in_.take().text;
    if (in_.isPunct('('))
        return constructor(word, out, depth);
    Number n;
    if (word == "true" || word == "false") {
        out.kind = Value::Kind::boolean;
        n.integer = word == "true";
    } else if (namedReal(word, n.real)) {
        out.kind = Value::Kind::f32;
        n.isReal = true;
    } else if (word == "me" || word == "them" || word == "host") {
        out.kind = Value::Kind::u32;
        n.source = word == "me" ? Number::Source::mine : Number::Source::them;
    } else if (word == "index") {
        in_.back();
        if (!indexForm(n))
            return false;
        // Like a literal: a fraction in the form makes it a float.
        const bool whole = n.scale == std::floor(n.scale) && n.offset == std::floor(n.offset);
        out.kind = whole ? Value::Kind::i32 : Value::Kind::f32;
        n.isReal = !whole;
    } else {
        in_.back();
        return in_.fail(
            "a value (a number, a string, true, false, nan, inf, huge, me, them, index, or u8(..), u16(..), "
            "i32(..), u32(..), f32(..), bool(..), vec2(..), vec3(..), quat(..), id(..), nested(..), hex(..), "
            "raw(..), fill(..))");
    }
    out.numbers.push_back(n);
    return true;
}

bool ValueParser::constructor(const std::string& word, Value& out, int depth)
{
    if (!in_.expectPunct('('))
        return false;
    auto reals = [&](Value::Kind kind, int count) {
        out.kind = kind;
        for (int i = 0; i < count; ++i) {
            if ((i > 0 && !in_.expectPunct(',')) || !real(out.numbers.emplace_back()))
                return false;
        }
        return true;
    };
    auto one = [&](Value::Kind kind, std::int64_t low, std::int64_t high) {
        out.kind = kind;
        return integer(out.numbers.emplace_back(), low, high, true);
    };
    bool ok = false;
    if (word == "u8") {
        ok = one(Value::Kind::u8, 0, 255);
    } else if (word == "u16") {
        ok = one(Value::Kind::u16, 0, 65535);
    } else if (word == "i32" || word == "u32") {
        // Either spelling of a 32-bit pattern: -1 and 0xFFFFFFFF are the same bits.
        ok = one(word == "i32" ? Value::Kind::i32 : Value::Kind::u32, std::numeric_limits<std::int32_t>::min(),
                 0xFFFFFFFFll);
    } else if (word == "bool") {
        out.kind = Value::Kind::boolean;
        Number& n = out.numbers.emplace_back();
        if (in_.isWord("true") || in_.isWord("false")) {
            n.integer = in_.take().text == "true";
            ok = true;
        } else {
            ok = integer(n, 0, 1, false);
        }
    } else if (word == "f32") {
        ok = reals(Value::Kind::f32, 1);
    } else if (word == "vec2") {
        ok = reals(Value::Kind::vec2, 2);
    } else if (word == "vec3") {
        ok = reals(Value::Kind::vec3, 3);
    } else if (word == "quat") {
        ok = reals(Value::Kind::quat, 4);
    } else if (word == "id") {
        out.kind = Value::Kind::entity;
        ok = integer(out.numbers.emplace_back(), 0, 0xFFFFFFFFll, true) && in_.expectPunct(',') &&
             integer(out.numbers.emplace_back(), 0, 0xFFFFFFFFll, true);
    } else if (word == "nested") {
        if (depth + 1 > maxDepth) {
            return in_.failWith("nested() nests at most " + std::to_string(maxDepth) + " deep");
        }
        out.kind = Value::Kind::nested;
        ok = true;
        while (ok && !in_.isPunct(')')) {
            ok = (out.children.empty() || in_.expectPunct(',')) && value(out.children.emplace_back(), depth + 1);
        }
    } else if (word == "raw" || word == "hex") {
        out.kind = Value::Kind::raw;
        if (in_.peek().kind != Token::Kind::string)
            return in_.fail(word == "raw" ? "a string of bytes" : "a string of hexadecimal digits");
        const std::string text = in_.take().text;
        ok = true;
        if (word == "raw") {
            out.bytes = text;
        } else {
            int high = -1;
            for (const char c : text) {
                if (c == ' ')
                    continue;
                const int digit = hexDigit(c);
                if (digit < 0) {
                    in_.back();
                    return in_.fail("hexadecimal digits (and spaces) in hex(..)");
                }
                if (high < 0) {
                    high = digit;
                } else {
                    out.bytes += static_cast<char>(high * 16 + digit);
                    high = -1;
                }
            }
            if (high >= 0) {
                in_.back();
                return in_.fail("an even number of hexadecimal digits in hex(..)");
            }
        }
    } else if (word == "fill") {
        out.kind = Value::Kind::fill;
        Number count, byte;
        ok = integer(count, 0, static_cast<std::int64_t>(maxFillBytes), false) && in_.expectPunct(',') &&
             integer(byte, 0, 255, false);
        out.count = static_cast<std::size_t>(count.integer);
        out.bytes = std::string(1, static_cast<char>(byte.integer));
    } else {
        in_.back(2); // back to the word, for the message
        return in_.fail("a value (u8, u16, i32, u32, f32, bool, vec2, vec3, quat, id, nested, hex, raw, fill)");
    }
    return ok && in_.expectPunct(')');
}

bool ValueParser::bounded(double& out, double low, double high, const char* what)
{
    float value = 0.0f;
    if (in_.peek().kind != Token::Kind::number || !toReal(in_.peek().text, value) || !(value >= low) ||
        !(value <= high)) {
        char range[64];
        std::snprintf(range, sizeof range, " from %g to %g", low, high);
        return in_.fail(what + std::string(range));
    }
    in_.take();
    out = value;
    return true;
}

} // namespace peer
