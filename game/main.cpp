#include "game/startup/CommandLine.h"
#include "game/startup/DataDirectory.h"
#include "game/startup/GameStartup.h"

#include "engine/core/application/GlewInitError.h"

#include <iostream>

int main(int argc, char** argv)
{
    using namespace skyscuffle;

    const CommandLine line = readCommandLine(argc, argv, std::cout, std::cerr);
    if (!line.run)
        return line.status;

    std::error_code noDirectory;
    const DataDirectory data =
        findDataDirectory(line.options.dataDirectory, runningExecutable(), std::filesystem::current_path(noDirectory));
    if (!data.found()) {
        std::cerr << "skyscuffle: no game data found (looked in";
        for (const auto& place : data.searched)
            std::cerr << " " << place.string();
        std::cerr << "); give its directory with --data DIR\n";
        return 1;
    }

    try {
        return runSkyscuffle(line.options, data);
    } catch (const kit::GlewInitError& error) {
        std::cerr << error.what();
        return 1;
    }
}
