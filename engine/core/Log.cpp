#include "Log.h"

#include "LogConsoleSink.h"
#include "UserDirectories.h"

#include <spdlog/logger.h>
#include <spdlog/sinks/rotating_file_sink.h>

#include <algorithm>
#include <atomic>
#include <iostream>
#include <mutex>

namespace kit::log {
namespace {

// Time to the millisecond and the level before each line of the file.
constexpr const char* filePattern = "[%Y-%m-%d %H:%M:%S.%e] [%l] %v";

spdlog::level::level_enum spdlogLevel(Level level)
{
    switch (level) {
    case Level::debug:
        return spdlog::level::debug;
    case Level::info:
        return spdlog::level::info;
    case Level::warn:
        return spdlog::level::warn;
    case Level::error:
        break;
    }
    return spdlog::level::err;
}

struct State {
    // Every write holds it: a line is whole on the console and in the file,
    // whichever thread tells it, and the file comes and goes between lines.
    std::mutex mutex;
    std::shared_ptr<LogConsoleSink> console = std::make_shared<LogConsoleSink>(std::cout, std::cerr);
    std::shared_ptr<spdlog::sinks::rotating_file_sink_mt> file;
    spdlog::logger logger{"skyscuffle", console};
    Verbosity verbosity = Verbosity::normal;
    // The lowest level the console or the file takes, read without the lock.
    std::atomic<int> lowest{static_cast<int>(Level::info)};
    // Why the file failed during a write; it is closed after that write.
    std::string fileFailure;

    State()
    {
        logger.set_level(spdlog::level::trace); // the sinks filter
        // Every line reaches the file at once: the last lines before a crash
        // are the ones a report needs.
        logger.flush_on(spdlog::level::trace);
        logger.set_error_handler([this](const std::string& why) { fileFailure = why; });
        apply();
    }

    Level consoleLevel() const
    {
        return verbosity == Verbosity::quiet     ? Level::warn
               : verbosity == Verbosity::verbose ? Level::debug
                                                 : Level::info;
    }
    Level fileLevel() const { return verbosity == Verbosity::verbose ? Level::debug : Level::info; }

    void apply()
    {
        console->set_level(spdlogLevel(consoleLevel()));
        int low = static_cast<int>(consoleLevel());
        if (file) {
            file->set_level(spdlogLevel(fileLevel()));
            low = std::min(low, static_cast<int>(fileLevel()));
        }
        lowest = low;
    }

    void dropFile()
    {
        auto& sinks = logger.sinks();
        sinks.erase(std::remove(sinks.begin(), sinks.end(), file), sinks.end());
        file.reset();
        apply();
    }

    // With the lock held.
    void say(Level level, std::string_view text)
    {
        logger.log(spdlogLevel(level), spdlog::string_view_t(text.data(), text.size()));
        if (!fileFailure.empty()) {
            const std::string why = std::move(fileFailure);
            fileFailure.clear();
            dropFile();
            const std::string line =
                "The log file cannot be written any more (" + why + "): the log goes to the console only";
            logger.log(spdlog::level::warn, spdlog::string_view_t(line.data(), line.size()));
            fileFailure.clear(); // the console's own trouble is not the file's
        }
    }
};

// Never destroyed: objects that log from their destructors may outlive any
// static of this file.
State& state()
{
    static State* const everything = new State;
    return *everything;
}

} // namespace

bool enabled(Level level)
{
    return static_cast<int>(level) >= state().lowest.load(std::memory_order_relaxed);
}

void write(Level level, std::string_view text)
{
    if (!enabled(level))
        return;
    if (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    State& s = state();
    const std::lock_guard lock(s.mutex);
    s.say(level, text);
}

Line::Line(Level level) : level_(level)
{
    if (enabled(level))
        text_.emplace();
}

Line::~Line()
{
    if (text_)
        write(level_, text_->str());
}

Line& Line::operator<<(std::ios_base& (*manipulator)(std::ios_base&))
{
    if (text_)
        *text_ << manipulator;
    return *this;
}

Line debug()
{
    return Line(Level::debug);
}
Line info()
{
    return Line(Level::info);
}
Line warn()
{
    return Line(Level::warn);
}
Line error()
{
    return Line(Level::error);
}

void setVerbosity(Verbosity verbosity)
{
    State& s = state();
    const std::lock_guard lock(s.mutex);
    s.verbosity = verbosity;
    s.apply();
}

std::filesystem::path defaultDirectory()
{
    const std::filesystem::path home = userDirectories::stateHome();
    return home.empty() ? home : home / "skyscuffle";
}

bool openFile(const std::filesystem::path& directory, std::size_t maxBytes, std::size_t files)
{
    closeFile();
    if (directory.empty()) {
        warn() << "No home directory (neither HOME nor XDG_STATE_HOME is set): the log is not kept in a file";
        return false;
    }
    const std::filesystem::path path = directory / "skyscuffle.log";
    std::error_code madeNot;
    std::filesystem::create_directories(directory, madeNot);
    std::string why = madeNot.message();
    std::shared_ptr<spdlog::sinks::rotating_file_sink_mt> file;
    if (!madeNot) {
        try {
            // spdlog counts the files kept besides the current one.
            file = std::make_shared<spdlog::sinks::rotating_file_sink_mt>(
                path.string(), std::max<std::size_t>(maxBytes, 1), std::max<std::size_t>(files, 2) - 1);
        } catch (const std::exception& error) {
            why = error.what();
        }
    }
    if (!file) {
        warn() << "The log file " << path.string() << " cannot be written (" << why
               << "): the log goes to the console only";
        return false;
    }
    file->set_pattern(filePattern);
    {
        State& s = state();
        const std::lock_guard lock(s.mutex);
        s.file = std::move(file);
        s.logger.sinks().push_back(s.file);
        s.apply();
    }
    debug() << "The log is kept in " << path.string();
    return true;
}

void closeFile()
{
    State& s = state();
    const std::lock_guard lock(s.mutex);
    if (s.file)
        s.dropFile();
}

} // namespace kit::log
