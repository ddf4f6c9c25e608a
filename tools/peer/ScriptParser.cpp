#include "ScriptParser.h"

namespace peer {
namespace {

constexpr double defaultTimeout = 30.0;

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
    if (!parser.commands(result.script.commands, 0, false) || parser.in_.peek().kind != Token::Kind::end) {
        parser.in_.fail("a command");
        result.script = Script{};
        result.error = parser.in_.error();
    }
    return result;
}

// Commands up to the end of the script or of the enclosing block.
bool ScriptParser::commands(std::vector<Command>& out, int depth, bool inBatch)
{
    for (;;) {
        while (in_.peek().kind == Token::Kind::lineEnd)
            in_.take();
        if (in_.peek().kind == Token::Kind::end || in_.isPunct('}'))
            return true;
        if (!command(out, depth, inBatch))
            return false;
        if (in_.peek().kind == Token::Kind::lineEnd)
            in_.take();
        else if (in_.peek().kind != Token::Kind::end && !in_.isPunct('}'))
            return in_.fail("the end of the line");
    }
}

bool ScriptParser::block(Command& command, int depth, bool inBatch)
{
    if (depth + 1 > maxDepth) {
        return in_.failWith("blocks nest at most " + std::to_string(maxDepth) + " deep");
    }
    if (!in_.expectPunct('{') || !commands(command.body, depth + 1, inBatch))
        return false;
    return in_.expectPunct('}');
}

bool ScriptParser::name(std::string& out, const char* what)
{
    if (in_.peek().kind != Token::Kind::word && in_.peek().kind != Token::Kind::string)
        return in_.fail(what);
    out = in_.take().text;
    return true;
}

bool ScriptParser::command(std::vector<Command>& out, int depth, bool inBatch)
{
    Command c;
    c.line = in_.peek().line;
    if (in_.peek().kind != Token::Kind::word)
        return in_.fail("a command");
    const std::string word = in_.take().text;
    if (inBatch && word != "call" && word != "state") {
        in_.back();
        return in_.fail("'call' or 'state' inside a batch");
    }
    Number number;
    if (word == "host") {
        c.kind = Command::Kind::host;
        if (!values_.integer(number, 1, 65535, false))
            return false;
        c.port = static_cast<std::uint16_t>(number.integer);
    } else if (word == "join") {
        c.kind = Command::Kind::join;
        if (in_.peek().kind != Token::Kind::word && in_.peek().kind != Token::Kind::string &&
            in_.peek().kind != Token::Kind::number)
            return in_.fail("an address");
        c.text = in_.take().text;
        if (!values_.integer(number, 1, 65535, false))
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
        if (!values_.integer(number, 0, 0xFFFFFFFFll, false))
            return false;
        v.numbers.push_back(number);
        c.values.push_back(v);
    } else if (word == "serial") {
        c.kind = Command::Kind::serial;
        if (!values_.integer(number, 0, 0xFFFFFFFFll, false))
            return false;
        c.count = static_cast<std::size_t>(number.integer);
    } else if (word == "screen") {
        c.kind = Command::Kind::screen;
        if (!name(c.text, "a screen name"))
            return false;
    } else if (word == "heartbeat") {
        c.kind = Command::Kind::heartbeat;
        if (!values_.bounded(c.rate, 0.0, 1000.0, "packets a second"))
            return false;
    } else if (word == "wait") {
        if (!waitCommand(c))
            return false;
    } else if (word == "call") {
        c.kind = Command::Kind::call;
        Value target;
        if (!name(c.text, "a function name") || !values_.entity(target))
            return false;
        c.values.push_back(target);
        if (!valuesToEnd(c.values))
            return false;
    } else if (word == "state") {
        c.kind = Command::Kind::state;
        Value target;
        if (!values_.entity(target) || !name(c.text, "a component type name"))
            return false;
        c.values.push_back(target);
        if (!valuesToEnd(c.values))
            return false;
    } else if (word == "batch") {
        c.kind = Command::Kind::batch;
        if (!block(c, depth, true))
            return false;
    } else if (word == "packet") {
        if (!packetCommand(c))
            return false;
    } else if (word == "repeat") {
        c.kind = Command::Kind::repeat;
        if (!values_.integer(number, 0, static_cast<std::int64_t>(maxRepeat), false) || !block(c, depth, false))
            return false;
        c.count = static_cast<std::size_t>(number.integer);
    } else if (word == "rate") {
        c.kind = Command::Kind::rate;
        if (!values_.bounded(c.rate, 0.001, maxRate, "times a second"))
            return false;
        if (!in_.isWord("for"))
            return in_.fail("'for'");
        in_.take();
        if (!values_.bounded(c.seconds, 0.0, maxSeconds, "seconds") || !block(c, depth, false))
            return false;
    } else if (word == "say") {
        c.kind = Command::Kind::say;
        while (!in_.atCommandEnd())
            c.text += (c.text.empty() ? "" : " ") + in_.take().text;
    } else {
        in_.back();
        return in_.fail("a command (host, join, disconnect, reconnect, origin, serial, screen, heartbeat, wait, call, "
                        "state, batch, packet, repeat, rate, say)");
    }
    out.push_back(std::move(c));
    return true;
}

bool ScriptParser::valuesToEnd(std::vector<Value>& out)
{
    while (!in_.atCommandEnd()) {
        if (!values_.value(out.emplace_back(), 0))
            return false;
    }
    return true;
}

bool ScriptParser::waitCommand(Command& c)
{
    c.seconds = defaultTimeout;
    if (in_.peek().kind == Token::Kind::number) {
        c.kind = Command::Kind::wait;
        return values_.bounded(c.seconds, 0.0, maxSeconds, "seconds");
    }
    if (in_.isWord("connected")) {
        c.kind = Command::Kind::waitConnected;
    } else if (in_.isWord("copy")) {
        c.kind = Command::Kind::waitCopy;
    } else if (in_.isWord("call")) {
        c.kind = Command::Kind::waitCall;
    } else if (in_.isWord("screen")) {
        c.kind = Command::Kind::waitScreen;
    } else {
        return in_.fail("seconds, 'connected', 'copy', 'call NAME' or 'screen NAME' after 'wait'");
    }
    in_.take();
    if ((c.kind == Command::Kind::waitCall || c.kind == Command::Kind::waitScreen) &&
        !name(c.text, c.kind == Command::Kind::waitCall ? "a function name" : "a screen name"))
        return false;
    if (in_.peek().kind == Token::Kind::number)
        return values_.bounded(c.seconds, 0.0, maxSeconds, "a time-out in seconds");
    return true;
}

bool ScriptParser::packetCommand(Command& c)
{
    c.kind = Command::Kind::packet;
    for (;;) {
        if (in_.isWord("reliable") || in_.isWord("unreliable")) {
            c.reliable = in_.take().text == "reliable";
        } else if (in_.isWord("cut")) {
            in_.take();
            Number bytes;
            if (!values_.integer(bytes, 0, static_cast<std::int64_t>(maxFillBytes), false))
                return false;
            c.cut = static_cast<std::size_t>(bytes.integer);
        } else {
            break;
        }
    }
    if (!valuesToEnd(c.values))
        return false;
    if (c.values.empty())
        return in_.fail("the packet's values");
    return true;
}

} // namespace peer
