#pragma once

#include <istream>
#include <string>

namespace kit {

// The tokenizer of the engine's text formats (resource buckets, materials,
// shader programs). Before every token it skips white space, line comments
// (// to the end of the line) and block comments (/* to */, not nested), and
// it counts lines and columns for error messages.
class TextParser {
public:
    explicit TextParser(std::istream& in) : in(&in) {}

    void skip();
    // Consumes c or throws ParseError naming c and the character found.
    void expect(char c);
    // Consumes c if it comes next.
    bool accept(char c);
    // A quoted string, or else an identifier.
    std::string readString();
    // Letters, digits and underscores; may be empty.
    std::string readIdentifier();
    // Between double quotes, with C escapes; may span lines.
    std::string readQuotedString();
    // Digits and '-' converted as atoi does.
    int readInt();
    // Digits, '.' and '-' converted as atof does.
    float readFloat();

    std::istream* in;
    int line = 1;   // of the next character
    int column = 1; // of the next character

private:
    int peek();
    int get();
};

} // namespace kit
