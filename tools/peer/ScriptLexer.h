#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace peer {

// One token of a script. Words and numbers keep their text; strings their
// bytes with the escapes resolved. A line end (or ';') separates commands.
struct Token {
    enum class Kind { word, number, string, punct, lineEnd, end };
    Kind kind = Kind::end;
    std::string text;
    int line = 1;
};

// Splits a script into tokens. `${NAME}` is replaced by the value given for
// NAME before the line is read (values must not hold line ends). On bad input
// it stops with one line in `error` ("line N: ..."), never reading past the text.
class ScriptLexer {
public:
    ScriptLexer(std::string_view text, const std::map<std::string, std::string>& variables);

    // All tokens, ending with an end token; empty with `error` set on failure.
    std::vector<Token> tokens();
    std::string error;

    // A token's text as it may be shown in an error: printable ASCII, other
    // bytes as \xHH, at most 40 characters.
    static std::string shown(std::string_view text);

private:
    bool expand();
    bool lexString(std::vector<Token>& out);
    bool lexNumber(std::vector<Token>& out);
    void fail(const std::string& message);

    std::string text_;
    const std::map<std::string, std::string>& variables_;
    std::size_t at_ = 0;
    int line_ = 1;
};

// The value of a hexadecimal digit, or -1 for any other character.
int hexDigit(char c);

} // namespace peer
