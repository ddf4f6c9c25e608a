#include "TokenCursor.h"

namespace peer {

std::string TokenCursor::describe(const Token& token)
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

bool TokenCursor::fail(const std::string& expected)
{
    if (error_.empty())
        error_ = "line " + std::to_string(peek().line) + ": expected " + expected + ", got " + describe(peek());
    return false;
}

bool TokenCursor::failWith(const std::string& message)
{
    if (error_.empty())
        error_ = "line " + std::to_string(peek().line) + ": " + message;
    return false;
}

bool TokenCursor::expectPunct(char c)
{
    if (!isPunct(c))
        return fail(std::string("'") + c + "'");
    take();
    return true;
}

} // namespace peer
