#pragma once

#include "Script.h"
#include "ScriptLexer.h"

#include <map>
#include <string>
#include <string_view>

namespace peer {

struct ParseResult {
    Script script;
    std::string error; // one line, "line N: expected ..., got ..."; empty on success
    [[nodiscard]] bool ok() const { return error.empty(); }
};

// Reads a hostile peer's script (format in the README). Any text is handled:
// a script that cannot be read gives the first problem as one line and an
// empty script, never a crash; every count, rate, size and nesting is bounded
// (Script.h).
class ScriptParser {
public:
    static ParseResult parse(std::string_view text, const std::map<std::string, std::string>& variables = {});

private:
    explicit ScriptParser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    bool commands(std::vector<Command>& out, int depth, bool inBatch);
    bool command(std::vector<Command>& out, int depth, bool inBatch);
    bool block(Command& command, int depth, bool inBatch);
    bool waitCommand(Command& command);
    bool packetCommand(Command& command);
    bool value(Value& out, int depth);
    bool constructor(const std::string& name, Value& out, int depth);
    bool entity(Value& out);
    bool integer(Number& out, std::int64_t low, std::int64_t high, bool allowSources);
    bool real(Number& out);
    bool indexForm(Number& out);
    bool seconds(double& out, double low, double high, const char* what);
    bool name(std::string& out, const char* what);

    const Token& peek() const { return tokens_[at_]; }
    const Token& take() { return tokens_[at_ < tokens_.size() - 1 ? at_++ : at_]; }
    bool isPunct(char c) const { return peek().kind == Token::Kind::punct && peek().text[0] == c; }
    bool isWord(std::string_view w) const { return peek().kind == Token::Kind::word && peek().text == w; }
    bool expectPunct(char c);
    bool fail(const std::string& expected);
    static std::string describe(const Token& token);

    std::vector<Token> tokens_;
    std::size_t at_ = 0;
    std::string error_;
};

} // namespace peer
