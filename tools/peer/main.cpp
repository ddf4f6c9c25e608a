// A scripted copy of the game without a window, for testing how a game
// copy stands up to a hostile peer on its network:
//
//   peer [--check] [--origin HEX] SCRIPT|- [NAME=VALUE...]
//
// It hosts or joins through the game's own transport and sends what the
// script says (format in docs/tools.md); ${NAME} in the script is replaced by
// the value given. --check only reads the script. Exit status: 0 when the
// script ran to its end, 1 when a step failed, 2 for a script that cannot
// be read or a bad command line. Like the game, run it only inside the
// private network namespace (scripts/isolated-net).
#include "HostilePeer.h"
#include "ScriptParser.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>

namespace {

int usage()
{
    std::cerr << "usage: peer [--check] [--origin HEX] SCRIPT|- [NAME=VALUE...]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    bool check = false;
    std::uint32_t origin = 0;
    std::string path;
    std::map<std::string, std::string> variables;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--check") {
            check = true;
        } else if (arg == "--origin" && i + 1 < argc) {
            try {
                origin = static_cast<std::uint32_t>(std::stoul(argv[++i], nullptr, 16));
            } catch (const std::exception&) {
                return usage();
            }
        } else if (path.empty() && (arg == "-" || arg[0] != '-')) {
            path = arg;
        } else if (const auto equals = arg.find('='); !path.empty() && equals != std::string::npos && equals > 0) {
            variables[arg.substr(0, equals)] = arg.substr(equals + 1);
        } else {
            return usage();
        }
    }
    if (path.empty())
        return usage();

    std::string text;
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            std::cerr << "cannot read " << path << "\n";
            return 2;
        }
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    const peer::ParseResult parsed = peer::ScriptParser::parse(text, variables);
    if (!parsed.ok()) {
        std::cerr << path << ": " << parsed.error << "\n";
        return 2;
    }
    if (check)
        return 0;

    // A random origin, as every copy draws its own (0 is never one).
    while (origin == 0)
        origin = std::random_device{}();
    peer::HostilePeer hostile(stdout, origin);
    return hostile.run(parsed.script);
}
