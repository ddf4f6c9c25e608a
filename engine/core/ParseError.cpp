#include "ParseError.h"

namespace kit {

ParseError::ParseError(int line, int column, char expected, const std::string& found)
    : message_("Parsing error (line " + std::to_string(line) + ", column " + std::to_string(column) +
               "): Was expecting '" + std::string(1, expected) + "', got '" + found + "' instead")
{
}

} // namespace kit
