#include "ClipRequest.h"

#include "engine/core/Log.h"
#include "engine/core/Settings.h"
#include "engine/core/UserDirectories.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace skyscuffle {

std::filesystem::path clipDirectory()
{
    const std::filesystem::path home = kit::userDirectories::dataHome();
    return home.empty() ? home : home / "skyscuffle" / "clips";
}

std::optional<std::filesystem::path> requestClip(const std::filesystem::path& replay, float from, float seconds)
{
    if (clipDirectory().empty()) {
        kit::log::warn() << "No clip: there is no home directory (neither HOME nor XDG_DATA_HOME is set)";
        return std::nullopt;
    }
    std::error_code failed;
    const std::filesystem::path game = std::filesystem::read_symlink("/proc/self/exe", failed);
    std::filesystem::create_directories(clipDirectory(), failed);
    if (failed || game.empty()) {
        kit::log::warn() << "No clip: " << (game.empty() ? "the game's own program is not found" : failed.message());
        return std::nullopt;
    }
    const int at = static_cast<int>(std::lround(std::max(from, 0.0f)));
    char when[16];
    std::snprintf(when, sizeof when, "_%d-%02d", at / 60, at % 60);
    const std::filesystem::path out = clipDirectory() / (replay.stem().string() + when + ".webp");

    const std::vector<std::string> words{game.string(),   "--replay",       replay.string(),
                                         "--clip",        out.string(),     "--clip-from",
                                         std::to_string(from), "--clip-seconds", std::to_string(seconds),
                                         "--data",        kit::settings::assetDirectory(), "--mute"};
    std::vector<char*> argv;
    for (const std::string& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    // Its console is its own: only its errors reach this one.
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int started = posix_spawn(&child, game.c_str(), &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (started != 0) {
        kit::log::warn() << "No clip: the game could not be started again to draw it";
        return std::nullopt;
    }
    kit::log::info() << "Drawing a clip into " << out.string();
    std::thread([child, out] {
        int status = 0;
        waitpid(child, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
            kit::log::info() << "Clip saved: " << out.string();
        else
            kit::log::warn() << "The clip " << out.string() << " was not made";
    }).detach();
    return out;
}

} // namespace skyscuffle
