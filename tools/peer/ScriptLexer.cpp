#include "ScriptLexer.h"

#include <cctype>
#include <cstdio>

namespace peer {
namespace {

bool isWordStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool isWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool isDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

} // namespace

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

ScriptLexer::ScriptLexer(std::string_view text, const std::map<std::string, std::string>& variables)
    : text_(text), variables_(variables)
{
}

std::string ScriptLexer::shown(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (out.size() >= 40) {
            out += "...";
            break;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        }
    }
    return out;
}

void ScriptLexer::fail(const std::string& message)
{
    if (error.empty())
        error = "line " + std::to_string(line_) + ": " + message;
}

// Replaces every ${NAME} of the text by its value, line by line so that the
// line numbers of errors stay those of the script as written.
bool ScriptLexer::expand()
{
    std::string out;
    out.reserve(text_.size());
    for (std::size_t i = 0; i < text_.size(); ++i) {
        const char c = text_[i];
        if (c == '\n')
            ++line_;
        if (c != '$' || i + 1 >= text_.size() || text_[i + 1] != '{') {
            out += c;
            continue;
        }
        const std::size_t close = text_.find('}', i + 2);
        const std::size_t lineEnd = text_.find('\n', i + 2);
        if (close == std::string::npos || close > lineEnd) {
            fail("expected '}' to close '${'");
            return false;
        }
        const std::string name = text_.substr(i + 2, close - i - 2);
        const auto value = variables_.find(name);
        if (value == variables_.end()) {
            fail("no value was given for ${" + shown(name) + "}");
            return false;
        }
        if (value->second.find('\n') != std::string::npos) {
            fail("the value of ${" + shown(name) + "} holds a line end");
            return false;
        }
        out += value->second;
        i = close;
    }
    text_ = std::move(out);
    line_ = 1;
    return true;
}

bool ScriptLexer::lexString(std::vector<Token>& out)
{
    Token token{Token::Kind::string, {}, line_};
    ++at_; // the opening quote
    for (;;) {
        if (at_ >= text_.size() || text_[at_] == '\n') {
            fail("expected '\"' to close the string");
            return false;
        }
        const char c = text_[at_++];
        if (c == '"')
            break;
        if (c != '\\') {
            token.text += c;
        } else {
            if (at_ >= text_.size()) {
                fail("expected an escape after '\\'");
                return false;
            }
            const char e = text_[at_++];
            switch (e) {
            case 'n':
                token.text += '\n';
                break;
            case 't':
                token.text += '\t';
                break;
            case 'r':
                token.text += '\r';
                break;
            case '0':
                token.text += '\0';
                break;
            case '\\':
                token.text += '\\';
                break;
            case '"':
                token.text += '"';
                break;
            case 'x': {
                const int high = at_ < text_.size() ? hexDigit(text_[at_]) : -1;
                const int low = at_ + 1 < text_.size() ? hexDigit(text_[at_ + 1]) : -1;
                if (high < 0 || low < 0) {
                    fail("expected two hexadecimal digits after '\\x'");
                    return false;
                }
                token.text += static_cast<char>(high * 16 + low);
                at_ += 2;
                break;
            }
            default:
                fail("expected one of \\n \\t \\r \\0 \\\\ \\\" \\xHH, got '\\" + shown(std::string(1, e)) + "'");
                return false;
            }
        }
        if (token.text.size() > 0xFFFF) {
            fail("a string holds at most 65535 bytes (its length is 16 bits)");
            return false;
        }
    }
    out.push_back(std::move(token));
    return true;
}

// Decimal integers, decimal fractions with an optional exponent, and 0x
// hexadecimal, each with an optional sign. The parser converts them.
bool ScriptLexer::lexNumber(std::vector<Token>& out)
{
    const std::size_t start = at_;
    if (text_[at_] == '-' || text_[at_] == '+')
        ++at_;
    if (at_ + 1 < text_.size() && text_[at_] == '0' && (text_[at_ + 1] == 'x' || text_[at_ + 1] == 'X')) {
        at_ += 2;
        while (at_ < text_.size() && hexDigit(text_[at_]) >= 0)
            ++at_;
    } else {
        // Several points are taken too, so that a dotted address is one
        // token; the parser says what it expected of it.
        while (at_ < text_.size() && (isDigit(text_[at_]) || text_[at_] == '.'))
            ++at_;
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '-' || text_[at_] == '+'))
                ++at_;
            while (at_ < text_.size() && isDigit(text_[at_]))
                ++at_;
        }
    }
    if (at_ < text_.size() && (isWordChar(text_[at_]) || text_[at_] == '.')) {
        fail("expected a number, got '" + shown(text_.substr(start, at_ + 1 - start)) + "'");
        return false;
    }
    out.push_back(Token{Token::Kind::number, text_.substr(start, at_ - start), line_});
    return true;
}

std::vector<Token> ScriptLexer::tokens()
{
    std::vector<Token> out;
    if (!expand())
        return {};
    while (at_ < text_.size()) {
        const char c = text_[at_];
        const char next = at_ + 1 < text_.size() ? text_[at_ + 1] : '\0';
        if (c == '\n' || c == ';') {
            out.push_back(Token{Token::Kind::lineEnd, std::string(1, c), line_});
            line_ += c == '\n';
            ++at_;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            ++at_;
        } else if (c == '#') {
            while (at_ < text_.size() && text_[at_] != '\n')
                ++at_;
        } else if (c == '"') {
            if (!lexString(out))
                return {};
        } else if (isDigit(c) || ((c == '-' || c == '+' || c == '.') && (isDigit(next) || next == '.'))) {
            if (!lexNumber(out))
                return {};
        } else if (isWordStart(c) || (c == '-' && isWordStart(next))) {
            // A leading minus belongs to the word: -inf, -huge.
            const std::size_t start = at_++;
            while (at_ < text_.size() && isWordChar(text_[at_]))
                ++at_;
            out.push_back(Token{Token::Kind::word, text_.substr(start, at_ - start), line_});
        } else if (c == '(' || c == ')' || c == '{' || c == '}' || c == ',' || c == '*' || c == '+' || c == '-') {
            out.push_back(Token{Token::Kind::punct, std::string(1, c), line_});
            ++at_;
        } else {
            fail("unexpected character '" + shown(std::string(1, c)) + "'");
            return {};
        }
    }
    out.push_back(Token{Token::Kind::end, {}, line_});
    return out;
}

} // namespace peer
