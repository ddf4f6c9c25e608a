#pragma once

#include <glm/vec2.hpp>

#include <filesystem>
#include <string>

// The tuning table: one process-wide map from dotted key to value text, read
// from "<assets>/<name>.csv" at start, re-read on request, written back at exit
// by a developer's build. Every key the code asks for lands in the table with
// its default, so the file written at exit lists every key in use.
//
// Two layers lie above the tuning file's values: the player's own choices
// (kept in a file of the player's, never in the game's data) and this run's
// (the command line: never kept). A key's value is the run's if it has one,
// else the player's, else the tuning file's or the code's default; the tuning
// file is always written back with its own values. Main thread only.
namespace kit::settings {

// The directory of the game's assets, ending in '/': "assets/" (relative to
// the working directory) unless set otherwise.
const std::string& assetDirectory();
void setAssetDirectory(const std::string& directory);

// The file that holds the table called name ("assets/tuning.csv" for "tuning").
std::string filePath(const std::string& name);

// Reads the file's `key,value` lines into the table as "<name>.<key>" (later
// lines win), then refreshes every live entry. A missing file costs one line on
// standard error; the table keeps what it had.
void load(const std::string& name);

// Writes every "<name>." entry of the table back to the file, prefix removed, in
// byte-wise key order. The file is replaced as a whole, never left half-written.
void save(const std::string& name);

// The value of key converted to T. A missing key is added with the default. Text
// that does not convert yields the default (and one line on standard error, once
// per key until the next load).
template <class T> T get(const std::string& key, const T& fallback);

template <> bool get<bool>(const std::string& key, const bool& fallback);
template <> int get<int>(const std::string& key, const int& fallback);
template <> unsigned short get<unsigned short>(const std::string& key, const unsigned short& fallback);
template <> float get<float>(const std::string& key, const float& fallback);
template <> std::string get<std::string>(const std::string& key, const std::string& fallback);
// Stored as key + ".x" and key + ".y".
template <> glm::vec2 get<glm::vec2>(const std::string& key, const glm::vec2& fallback);

// Sets the tuning file's value of key (kept in the file written at exit) and
// refreshes every live entry.
void set(const std::string& key, const std::string& text);
[[nodiscard]] bool has(const std::string& key);

// The player's layer, kept in `file` as `key,value` lines like the tuning
// file's (keys without "tuning.", '#' lines are notes). A missing file is a
// first run; a line that is not `key,value` costs one line on standard error
// and is skipped, the rest of the file still counts. Refreshes every entry.
void loadPlayer(const std::filesystem::path& file);
// Writes the player's layer to `file` (its directory made if need be) in one
// piece: a crash or a full disk leaves the old file whole. False, with one
// line on standard error, when it could not.
bool savePlayer(const std::filesystem::path& file);
// A value the player chose; it lasts until cleared. These three apply at once:
// every live entry is refreshed.
void setPlayer(const std::string& key, const std::string& text);
// Back to the tuning file's value (or the code's default) for the key.
void clearPlayer(const std::string& key);
[[nodiscard]] bool isPlayers(const std::string& key);
// The file the player's layer is kept in for this run (none: choices last
// for the run only), and keeping it there now.
void setPlayerFile(const std::filesystem::path& file);
bool keepPlayerChoices();
// A value for this run only, above the player's; never written anywhere.
void setForRun(const std::string& key, const std::string& text);
// The run's value dropped for the rest of the run: the player's (or the
// tuning file's, or the default) holds again, at once.
void clearForRun(const std::string& key);

} // namespace kit::settings
