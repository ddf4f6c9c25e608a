// The simulator's session options: several matches in a row, and one copy
// of a networked match per process.
#include "SimulatorSetup.h"

#include <iostream>
#include <string>

const char* const sessionUsage =
    "[--matches N] [--host PORT [--copies N] | --join ADDRESS:PORT [--rejoin-port PORT]] [--lobby-seconds S]";

namespace {

// A port from 1 to 65535, or nothing.
bool toPort(const std::string& text, std::uint16_t& port)
{
    std::size_t used = 0;
    const long value = std::stol(text, &used);
    if (used != text.size() || value < 1 || value > 65535)
        return false;
    port = static_cast<std::uint16_t>(value);
    return true;
}

} // namespace

bool parseSessionOption(int argc, char** argv, int& i, SimulatorOptions& options, bool& bad)
{
    const std::string arg = argv[i];
    if (arg != "--matches" && arg != "--host" && arg != "--join" && arg != "--copies" && arg != "--lobby-seconds" &&
        arg != "--rejoin-port")
        return false;
    if (i + 1 >= argc) {
        std::cerr << arg << " needs a value\n";
        bad = true;
        return true;
    }
    const std::string value = argv[++i];
    try {
        if (arg == "--matches") {
            options.matches = std::stoi(value);
        } else if (arg == "--copies") {
            options.copies = std::stoi(value);
        } else if (arg == "--lobby-seconds") {
            options.lobbySeconds = std::stof(value);
        } else if (arg == "--host") {
            bad = !toPort(value, options.hostPort);
        } else if (arg == "--rejoin-port") {
            bad = !toPort(value, options.rejoinPort);
        } else {
            const std::size_t colon = value.rfind(':');
            bad = colon == std::string::npos || colon == 0 || !toPort(value.substr(colon + 1), options.joinPort);
            if (!bad)
                options.joinHost = value.substr(0, colon);
        }
    } catch (const std::exception&) {
        bad = true;
    }
    if (bad)
        std::cerr << "unusable value after " << arg << ": " << value << "\n";
    return true;
}

bool sessionOptionsValid(const SimulatorOptions& options)
{
    if (options.matches < 1 || options.matches > 1000 || options.copies < 1 || options.copies > 17 ||
        !(options.lobbySeconds > 0.0f)) {
        std::cerr << "matches 1 to 1000, copies 1 to 17, lobby seconds above 0\n";
        return false;
    }
    if (options.hostPort != 0 && !options.joinHost.empty()) {
        std::cerr << "a copy either hosts or joins\n";
        return false;
    }
    if (options.copies > 1 && options.hostPort == 0) {
        std::cerr << "--copies is for the hosting copy\n";
        return false;
    }
    if (options.rejoinPort != 0 && options.joinHost.empty()) {
        std::cerr << "--rejoin-port is for a joining copy\n";
        return false;
    }
    return true;
}
