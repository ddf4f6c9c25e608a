#pragma once

#include <exception>
#include <string>

namespace kit {

// A grammar error in one of the engine's text formats:
// "Parsing error (line L, column C): Was expecting 'x', got 'y' instead".
class ParseError : public std::exception {
public:
    ParseError(int line, int column, char expected, const std::string& found);

    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

} // namespace kit
