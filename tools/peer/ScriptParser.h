#pragma once

#include "Script.h"
#include "TokenCursor.h"
#include "ValueParser.h"

#include <map>
#include <string>
#include <string_view>

namespace peer {

struct ParseResult {
    Script script;
    std::string error; // one line, "line N: expected ..., got ..."; empty on success
    [[nodiscard]] bool ok() const { return error.empty(); }
};

// Reads a hostile peer's script (format in docs/tools.md). Any text is handled:
// a script that cannot be read gives the first problem as one line and an
// empty script, never a crash; every count, rate, size and nesting is bounded
// (Script.h).
class ScriptParser {
public:
    static ParseResult parse(std::string_view text, const std::map<std::string, std::string>& variables = {});

private:
    explicit ScriptParser(std::vector<Token> tokens) : in_(std::move(tokens)), values_(in_) {}

    bool commands(std::vector<Command>& out, int depth, bool inBatch);
    bool command(std::vector<Command>& out, int depth, bool inBatch);
    bool block(Command& command, int depth, bool inBatch);
    bool waitCommand(Command& command);
    bool packetCommand(Command& command);
    bool name(std::string& out, const char* what);
    // The values up to the end of the command.
    bool valuesToEnd(std::vector<Value>& out);

    TokenCursor in_;
    ValueParser values_;
};

} // namespace peer
