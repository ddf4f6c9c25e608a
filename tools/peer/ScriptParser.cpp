#include "ScriptParser.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace peer {
namespace {

constexpr double defaultTimeout = 30.0;

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

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

ParseResult ScriptParser::parse(std::string_view text, const std::map<std::string, std::string>& variables)
{
    ScriptLexer lexer(text, variables);
    std::vector<Token> tokens = lexer.tokens();
    ParseResult result;
    if (tokens.empty()) {
        result.error = lexer.error;
        return result;
    }
    ScriptParser parser(std::move(tokens));
    if (!parser.commands(result.script.commands, 0, false)) {
        result.script = Script{};
        result.error = parser.error_;
        return result;
    }
    if (parser.peek().kind != Token::Kind::end) {
        parser.fail("a command");
        result.script = Script{};
        result.error = parser.error_;
    }
    return result;
}

std::string ScriptParser::describe(const Token& token)
{
    switch (token.kind) {
    case Token::Kind::end:
        return "the end of the script";
    case Token::Kind::lineEnd:
        return token.text == ";" ? "';'" : "the end of the line";
    case Token::Kind::string:
        return "the string \"" + ScriptLexer::shown(token.text) + "\"";
    default:
        return "'" + ScriptLexer::shown(token.text) + "'";
    }
}

bool ScriptParser::fail(const std::string& expected)
{
    if (error_.empty())
        error_ = "line " + std::to_string(peek().line) + ": expected " + expected + ", got " + describe(peek());
    return false;
}

bool ScriptParser::expectPunct(char c)
{
    if (!isPunct(c))
        return fail(std::string("'") + c + "'");
    take();
    return true;
}

// Commands up to the end of the script or of the enclosing block.
bool ScriptParser::commands(std::vector<Command>& out, int depth, bool inBatch)
{
    for (;;) {
        while (peek().kind == Token::Kind::lineEnd)
            take();
        if (peek().kind == Token::Kind::end || isPunct('}'))
            return true;
        if (!command(out, depth, inBatch))
            return false;
        if (peek().kind == Token::Kind::lineEnd)
            take();
        else if (peek().kind != Token::Kind::end && !isPunct('}'))
            return fail("the end of the line");
    }
}

bool ScriptParser::block(Command& command, int depth, bool inBatch)
{
    if (depth + 1 > maxDepth) {
        error_ = "line " + std::to_string(peek().line) + ": blocks nest at most " + std::to_string(maxDepth) + " deep";
        return false;
    }
    if (!expectPunct('{') || !commands(command.body, depth + 1, inBatch))
        return false;
    return expectPunct('}');
}

bool ScriptParser::name(std::string& out, const char* what)
{
    if (peek().kind != Token::Kind::word && peek().kind != Token::Kind::string)
        return fail(what);
    out = take().text;
    return true;
}

bool ScriptParser::seconds(double& out, double low, double high, const char* what)
{
    float value = 0.0f;
    if (peek().kind != Token::Kind::number || !toReal(peek().text, value) || !(value >= low) || !(value <= high)) {
        char range[64];
        std::snprintf(range, sizeof range, " from %g to %g", low, high);
        return fail(what + std::string(range));
    }
    take();
    out = value;
    return true;
}

bool ScriptParser::command(std::vector<Command>& out, int depth, bool inBatch)
{
    Command c;
    c.line = peek().line;
    if (peek().kind != Token::Kind::word)
        return fail("a command");
    const std::string word = take().text;
    if (inBatch && word != "call" && word != "state") {
        at_--;
        return fail("'call' or 'state' inside a batch");
    }
    Number number;
    if (word == "host") {
        c.kind = Command::Kind::host;
        if (!integer(number, 1, 65535, false))
            return false;
        c.port = static_cast<std::uint16_t>(number.integer);
    } else if (word == "join") {
        c.kind = Command::Kind::join;
        if (peek().kind != Token::Kind::word && peek().kind != Token::Kind::string &&
            peek().kind != Token::Kind::number)
            return fail("an address");
        c.text = take().text;
        if (!integer(number, 1, 65535, false))
            return false;
        c.port = static_cast<std::uint16_t>(number.integer);
    } else if (word == "disconnect") {
        c.kind = Command::Kind::disconnect;
    } else if (word == "reconnect") {
        c.kind = Command::Kind::reconnect;
    } else if (word == "origin") {
        c.kind = Command::Kind::origin;
        Value v;
        v.kind = Value::Kind::u32;
        if (!integer(number, 0, 0xFFFFFFFFll, false))
            return false;
        v.numbers.push_back(number);
        c.values.push_back(v);
    } else if (word == "serial") {
        c.kind = Command::Kind::serial;
        if (!integer(number, 0, 0xFFFFFFFFll, false))
            return false;
        c.count = static_cast<std::size_t>(number.integer);
    } else if (word == "screen") {
        c.kind = Command::Kind::screen;
        if (!name(c.text, "a screen name"))
            return false;
    } else if (word == "heartbeat") {
        c.kind = Command::Kind::heartbeat;
        if (!seconds(c.rate, 0.0, 1000.0, "packets a second"))
            return false;
    } else if (word == "wait") {
        if (!waitCommand(c))
            return false;
    } else if (word == "call") {
        c.kind = Command::Kind::call;
        Value target;
        if (!name(c.text, "a function name") || !entity(target))
            return false;
        c.values.push_back(target);
        while (peek().kind != Token::Kind::lineEnd && peek().kind != Token::Kind::end && !isPunct('}')) {
            if (!value(c.values.emplace_back(), 0))
                return false;
        }
    } else if (word == "state") {
        c.kind = Command::Kind::state;
        Value target;
        if (!entity(target) || !name(c.text, "a component type name"))
            return false;
        c.values.push_back(target);
        while (peek().kind != Token::Kind::lineEnd && peek().kind != Token::Kind::end && !isPunct('}')) {
            if (!value(c.values.emplace_back(), 0))
                return false;
        }
    } else if (word == "batch") {
        c.kind = Command::Kind::batch;
        if (!block(c, depth, true))
            return false;
    } else if (word == "packet") {
        if (!packetCommand(c))
            return false;
    } else if (word == "repeat") {
        c.kind = Command::Kind::repeat;
        if (!integer(number, 0, static_cast<std::int64_t>(maxRepeat), false) || !block(c, depth, false))
            return false;
        c.count = static_cast<std::size_t>(number.integer);
    } else if (word == "rate") {
        c.kind = Command::Kind::rate;
        if (!seconds(c.rate, 0.001, maxRate, "times a second"))
            return false;
        if (!isWord("for"))
            return fail("'for'");
        take();
        if (!seconds(c.seconds, 0.0, maxSeconds, "seconds") || !block(c, depth, false))
            return false;
    } else if (word == "say") {
        c.kind = Command::Kind::say;
        while (peek().kind != Token::Kind::lineEnd && peek().kind != Token::Kind::end && !isPunct('}'))
            c.text += (c.text.empty() ? "" : " ") + take().text;
    } else {
        at_--;
        return fail("a command (host, join, disconnect, reconnect, origin, serial, screen, heartbeat, wait, call, "
                    "state, batch, packet, repeat, rate, say)");
    }
    out.push_back(std::move(c));
    return true;
}

bool ScriptParser::waitCommand(Command& c)
{
    c.seconds = defaultTimeout;
    if (peek().kind == Token::Kind::number) {
        c.kind = Command::Kind::wait;
        return seconds(c.seconds, 0.0, maxSeconds, "seconds");
    }
    if (isWord("connected")) {
        c.kind = Command::Kind::waitConnected;
    } else if (isWord("copy")) {
        c.kind = Command::Kind::waitCopy;
    } else if (isWord("call")) {
        c.kind = Command::Kind::waitCall;
    } else if (isWord("screen")) {
        c.kind = Command::Kind::waitScreen;
    } else {
        return fail("seconds, 'connected', 'copy', 'call NAME' or 'screen NAME' after 'wait'");
    }
    take();
    if ((c.kind == Command::Kind::waitCall || c.kind == Command::Kind::waitScreen) &&
        !name(c.text, c.kind == Command::Kind::waitCall ? "a function name" : "a screen name"))
        return false;
    if (peek().kind == Token::Kind::number)
        return seconds(c.seconds, 0.0, maxSeconds, "a time-out in seconds");
    return true;
}

bool ScriptParser::packetCommand(Command& c)
{
    c.kind = Command::Kind::packet;
    for (;;) {
        if (isWord("reliable") || isWord("unreliable")) {
            c.reliable = take().text == "reliable";
        } else if (isWord("cut")) {
            take();
            Number bytes;
            if (!integer(bytes, 0, static_cast<std::int64_t>(maxFillBytes), false))
                return false;
            c.cut = static_cast<std::size_t>(bytes.integer);
        } else {
            break;
        }
    }
    while (peek().kind != Token::Kind::lineEnd && peek().kind != Token::Kind::end && !isPunct('}')) {
        if (!value(c.values.emplace_back(), 0))
            return false;
    }
    if (c.values.empty())
        return fail("the packet's values");
    return true;
}

// An integer literal within [low, high], or (where allowed) one of the
// numbers known while the script runs.
bool ScriptParser::integer(Number& out, std::int64_t low, std::int64_t high, bool allowSources)
{
    const std::string expected = "an integer from " + std::to_string(low) + " to " + std::to_string(high) +
                                 (allowSources ? " (or me, them, index, new, last)" : "");
    if (allowSources && peek().kind == Token::Kind::word) {
        const std::string& w = peek().text;
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
            return fail(expected);
        take();
        return true;
    }
    std::int64_t value = 0;
    if (peek().kind != Token::Kind::number || !toInteger(peek().text, value) || value < low || value > high)
        return fail(expected);
    take();
    out.source = Number::Source::literal;
    out.integer = value;
    return true;
}

// index, optionally "* FACTOR", then optionally an offset ("+ 2", "- 40", "-40").
bool ScriptParser::indexForm(Number& out)
{
    take(); // index
    out.source = Number::Source::index;
    auto factor = [this](double& into) {
        float value = 0.0f;
        if (peek().kind != Token::Kind::number || !toReal(peek().text, value) || !std::isfinite(value) ||
            std::abs(value) > 1e9f)
            return fail("a finite number up to 1e9");
        take();
        into = value;
        return true;
    };
    if (isPunct('*')) {
        take();
        if (!factor(out.scale))
            return false;
    }
    if (peek().kind == Token::Kind::number && (peek().text[0] == '-' || peek().text[0] == '+'))
        return factor(out.offset);
    if (isPunct('+') || isPunct('-')) {
        const bool minus = take().text == "-";
        if (!factor(out.offset))
            return false;
        if (minus)
            out.offset = -out.offset;
    }
    return true;
}

bool ScriptParser::real(Number& out)
{
    out.isReal = true;
    if (peek().kind == Token::Kind::word) {
        if (isWord("index"))
            return indexForm(out);
        if (!namedReal(peek().text, out.real))
            return fail("a number (or nan, inf, -inf, huge, -huge, index)");
        take();
        return true;
    }
    if (peek().kind != Token::Kind::number || !toReal(peek().text, out.real))
        return fail("a number (or nan, inf, -inf, huge, -huge, index)");
    take();
    return true;
}

bool ScriptParser::entity(Value& out)
{
    if (!isWord("id"))
        return fail("an entity id(ORIGIN, SERIAL)");
    take();
    return constructor("id", out, 0);
}

bool ScriptParser::value(Value& out, int depth)
{
    const Token& t = peek();
    if (t.kind == Token::Kind::string) {
        out.kind = Value::Kind::string;
        out.bytes = take().text;
        return true;
    }
    if (t.kind == Token::Kind::number) {
        Number n;
        std::int64_t whole = 0;
        if (toInteger(t.text, whole)) {
            if (whole < std::numeric_limits<std::int32_t>::min() || whole > 0xFFFFFFFFll)
                return fail("an integer that fits 32 bits");
            out.kind = whole > std::numeric_limits<std::int32_t>::max() ? Value::Kind::u32 : Value::Kind::i32;
            n.integer = whole;
            take();
        } else {
            out.kind = Value::Kind::f32;
            if (!real(n))
                return false;
        }
        out.numbers.push_back(n);
        return true;
    }
    if (t.kind != Token::Kind::word)
        return fail("a value");
    const std::string word = take().text;
    if (isPunct('('))
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
        at_--;
        if (!indexForm(n))
            return false;
        // Like a literal: a fraction in the form makes it a float.
        const bool whole = n.scale == std::floor(n.scale) && n.offset == std::floor(n.offset);
        out.kind = whole ? Value::Kind::i32 : Value::Kind::f32;
        n.isReal = !whole;
    } else {
        at_--;
        return fail("a value (a number, a string, true, false, nan, inf, huge, me, them, index, or u8(..), u16(..), "
                    "i32(..), u32(..), f32(..), bool(..), vec2(..), vec3(..), quat(..), id(..), nested(..), hex(..), "
                    "raw(..), fill(..))");
    }
    out.numbers.push_back(n);
    return true;
}

bool ScriptParser::constructor(const std::string& word, Value& out, int depth)
{
    if (!expectPunct('('))
        return false;
    auto reals = [&](Value::Kind kind, int count) {
        out.kind = kind;
        for (int i = 0; i < count; ++i) {
            if ((i > 0 && !expectPunct(',')) || !real(out.numbers.emplace_back()))
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
        if (isWord("true") || isWord("false")) {
            n.integer = take().text == "true";
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
        ok = integer(out.numbers.emplace_back(), 0, 0xFFFFFFFFll, true) && expectPunct(',') &&
             integer(out.numbers.emplace_back(), 0, 0xFFFFFFFFll, true);
    } else if (word == "nested") {
        if (depth + 1 > maxDepth) {
            error_ = "line " + std::to_string(peek().line) + ": nested() nests at most " + std::to_string(maxDepth) +
                     " deep";
            return false;
        }
        out.kind = Value::Kind::nested;
        ok = true;
        while (ok && !isPunct(')')) {
            ok = (out.children.empty() || expectPunct(',')) && value(out.children.emplace_back(), depth + 1);
        }
    } else if (word == "raw" || word == "hex") {
        out.kind = Value::Kind::raw;
        if (peek().kind != Token::Kind::string)
            return fail(word == "raw" ? "a string of bytes" : "a string of hexadecimal digits");
        const std::string text = take().text;
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
                    at_--;
                    return fail("hexadecimal digits (and spaces) in hex(..)");
                }
                if (high < 0) {
                    high = digit;
                } else {
                    out.bytes += static_cast<char>(high * 16 + digit);
                    high = -1;
                }
            }
            if (high >= 0) {
                at_--;
                return fail("an even number of hexadecimal digits in hex(..)");
            }
        }
    } else if (word == "fill") {
        out.kind = Value::Kind::fill;
        Number count, byte;
        ok = integer(count, 0, static_cast<std::int64_t>(maxFillBytes), false) && expectPunct(',') &&
             integer(byte, 0, 255, false);
        out.count = static_cast<std::size_t>(count.integer);
        out.bytes = std::string(1, static_cast<char>(byte.integer));
    } else {
        at_ -= 2; // back to the word, for the message
        return fail("a value (u8, u16, i32, u32, f32, bool, vec2, vec3, quat, id, nested, hex, raw, fill)");
    }
    return ok && expectPunct(')');
}

} // namespace peer
