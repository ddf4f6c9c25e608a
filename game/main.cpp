#include "game/startup/CommandLine.h"
#include "game/startup/DataDirectory.h"
#include "game/startup/GameStartup.h"

#include "engine/core/Log.h"
#include "engine/core/application/GlewInitError.h"

#include <iostream>

int main(int argc, char** argv)
{
    using namespace skyscuffle;

    // The command line's help and its mistakes go straight to the console:
    // they come before the log is set up, and they are all the run does.
    const CommandLine line = readCommandLine(argc, argv, std::cout, std::cerr);
    if (!line.run)
        return line.status;
    kit::log::setVerbosity(line.options.verbosity);
    kit::log::openFile(kit::log::defaultDirectory());

    std::error_code noDirectory;
    const DataDirectory data =
        findDataDirectory(line.options.dataDirectory, runningExecutable(), std::filesystem::current_path(noDirectory));
    if (!data.found()) {
        auto said = kit::log::error();
        said << "skyscuffle: no game data found (looked in";
        for (const auto& place : data.searched)
            said << " " << place.string();
        said << "); give its directory with --data DIR";
        return 1;
    }

    try {
        return runSkyscuffle(line.options, data);
    } catch (const kit::GlewInitError& error) {
        kit::log::error() << error.what();
        return 1;
    }
}
