#include "Mp3Encoder.h"

#include "WavFile.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace synth {

namespace {

// Removes the file when it goes out of scope, on success and on failure alike.
struct TemporaryFile {
    std::filesystem::path path;

    ~TemporaryFile()
    {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

// Runs a program found on the PATH with the given arguments, no shell in between (file names have spaces), and
// returns its exit status, or -1 if it could not be started or did not exit normally. Its own output is
// discarded: failures are reported in one line by the caller.
int run(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0)
        return -1;
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

bool lameAvailable()
{
    const char* path = std::getenv("PATH");
    std::string_view directories = path ? path : "";
    while (!directories.empty()) {
        const std::size_t end = std::min(directories.find(':'), directories.size());
        const std::filesystem::path candidate = std::filesystem::path(directories.substr(0, end)) / "lame";
        if (access(candidate.c_str(), X_OK) == 0)
            return true;
        directories.remove_prefix(std::min(end + 1, directories.size()));
    }
    return false;
}

void writeMp3(const std::filesystem::path& file, const Sound& sound, const Mp3Settings& settings)
{
    const TemporaryFile wav{std::filesystem::temp_directory_path() /
                            ("skyscuffle-sound-" + std::to_string(getpid()) + ".wav")};
    writeWav(wav.path, sound);
    // Constant bit rate, mono, no ReplayGain analysis: the same input always gives the same bytes.
    std::vector<std::string> arguments = {"lame", "--quiet", "-m", "m", "-b"};
    arguments.push_back(std::to_string(settings.kilobitsPerSecond));
    arguments.insert(arguments.end(), {"--noreplaygain", "--tt", settings.title, "--ta", "Skyscuffle"});
    arguments.insert(arguments.end(), {wav.path.string(), file.string()});
    const int status = run(arguments);
    if (status < 0)
        throw std::runtime_error("cannot run lame to write " + file.string());
    if (status != 0)
        throw std::runtime_error("cannot write " + file.string() + " (lame exit status " + std::to_string(status) +
                                 ")");
}

} // namespace synth
