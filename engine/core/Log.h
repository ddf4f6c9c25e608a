#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string_view>

// The one log of a program: every line the engine, the game and the tools
// tell goes through here, never straight to std::cout or std::cerr.
//
// On the console a line is written exactly as given, without a prefix, and
// flushed at once (other programs read it through pipes): debug and info
// lines on std::cout, warnings and errors on std::cerr. The console starts
// at info; a program may turn it (setVerbosity) and may also keep a file of
// its lines (openFile), with the time and the level before each.
//
//   kit::log::info() << "Server IP: " << address;
//   kit::log::warn() << "Tuning value " << key << " is not a number";
namespace kit::log {

enum class Level { debug, info, warn, error };

// What the console shows: quiet only warnings and errors, normal from info
// up, verbose debug lines too. A file keeps info and above, debug as well
// when verbose.
enum class Verbosity { quiet, normal, verbose };

// Whether a line of this level would reach the console or the file: a
// caller may skip building an expensive one.
[[nodiscard]] bool enabled(Level level);

// Writes one line; one trailing newline of the text is the line's own end
// and is not doubled.
void write(Level level, std::string_view text);

// A line built like a stream and written whole when it goes out of scope.
// Nothing is formatted when its level is filtered out.
class Line {
public:
    explicit Line(Level level);
    ~Line();
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    template <class T> Line& operator<<(const T& value)
    {
        if (text_)
            *text_ << value;
        return *this;
    }
    // std::hex, std::fixed and the like.
    Line& operator<<(std::ios_base& (*manipulator)(std::ios_base&));

private:
    Level level_;
    std::optional<std::ostringstream> text_;
};

[[nodiscard]] Line debug();
[[nodiscard]] Line info();
[[nodiscard]] Line warn();
[[nodiscard]] Line error();

void setVerbosity(Verbosity verbosity);

// Where a program's log file lives: $XDG_STATE_HOME/skyscuffle, by default
// ~/.local/state/skyscuffle; empty when there is no home to keep it in.
[[nodiscard]] std::filesystem::path defaultDirectory();

// Keeps the lines from now on also in DIRECTORY/skyscuffle.log (the
// directory is made if need be), which starts afresh past maxBytes: the
// older lines move to skyscuffle.1.log and so on, `files` files in all
// (at least two).
// A file that cannot be written costs one line on the error stream and
// false; the console goes on as before.
bool openFile(const std::filesystem::path& directory, std::size_t maxBytes = 1024 * 1024, std::size_t files = 3);
// Stops writing the file (it is flushed at every line already).
void closeFile();

} // namespace kit::log
