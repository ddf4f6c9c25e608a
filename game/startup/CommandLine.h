#pragma once

#include "game/startup/LaunchOptions.h"

#include <iosfwd>

namespace skyscuffle {

// The outcome of reading the command line: run the game with the options, or
// exit at once with the status (0 after --help or --version, 2 after an
// unknown option or a bad value, which costs one line on the error stream).
struct CommandLine {
    bool run = true;
    int status = 0;
    LaunchOptions options;
};

CommandLine readCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& error);

// "ADDRESS[:PORT]" split; false when the port is not a number from 1 to 65535
// or the address is empty.
bool splitAddress(const std::string& text, std::string& address, std::uint16_t& port);
// "WxH" with both from 1 to 16384; false otherwise.
bool readSize(const std::string& text, int& width, int& height);

} // namespace skyscuffle
