#pragma once

#include "ScriptLexer.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace peer {

// The parser's place in a script's tokens and its first error. Reading past
// the end keeps returning the end token.
class TokenCursor {
public:
    explicit TokenCursor(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    [[nodiscard]] const Token& peek() const { return tokens_[at_]; }
    const Token& take() { return tokens_[at_ + 1 < tokens_.size() ? at_++ : at_]; }
    // Steps back over tokens just taken (for an error naming them).
    void back(std::size_t count = 1) { at_ = count <= at_ ? at_ - count : 0; }
    [[nodiscard]] bool isPunct(char c) const { return peek().kind == Token::Kind::punct && peek().text[0] == c; }
    [[nodiscard]] bool isWord(std::string_view w) const { return peek().kind == Token::Kind::word && peek().text == w; }
    // At the end of a command: a line end, the script's end or a block's '}'.
    [[nodiscard]] bool atCommandEnd() const
    {
        return peek().kind == Token::Kind::lineEnd || peek().kind == Token::Kind::end || isPunct('}');
    }

    bool expectPunct(char c);
    // Notes "line N: expected WHAT, got TOKEN" (the first error only) and returns false.
    bool fail(const std::string& expected);
    // Notes "line N: MESSAGE" (the first error only) and returns false.
    bool failWith(const std::string& message);
    [[nodiscard]] const std::string& error() const { return error_; }

private:
    static std::string describe(const Token& token);

    std::vector<Token> tokens_;
    std::size_t at_ = 0;
    std::string error_;
};

} // namespace peer
