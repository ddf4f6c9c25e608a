#include "ConsoleLine.h"

#include <unistd.h>

std::optional<std::string> readConsoleLine(std::istream& in)
{
    std::string line;
    if (!std::getline(in, line)) {
        // At the end of the input the next read ends at once too; clearing
        // the state lets a console that comes back (a terminal after
        // Control+D) be read again.
        in.clear();
        return std::nullopt;
    }
    const char* blanks = " \t\r\n";
    const auto first = line.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    const auto last = line.find_last_not_of(blanks);
    return line.substr(first, last - first + 1);
}

bool consoleEchoesInput()
{
    return isatty(STDIN_FILENO) != 0;
}
