#include "Settings.h"

#include "AtomicFile.h"
#include "Log.h"
#include "SettingsEntry.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <type_traits>

namespace kit::settings {
namespace {

// std::string's ordering compares bytes as unsigned chars: the byte-wise order
// the file is written in.
std::map<std::string, std::string>& table()
{
    static std::map<std::string, std::string> entries;
    return entries;
}

// The layers above the tuning file: the player's choices and this run's.
std::map<std::string, std::string>& playerLayer()
{
    static std::map<std::string, std::string> entries;
    return entries;
}
std::map<std::string, std::string>& runLayer()
{
    static std::map<std::string, std::string> entries;
    return entries;
}
// For every key a layer overrides: the tuning file's (or the default's)
// value beneath it, none while the code has not asked for the key.
std::map<std::string, std::optional<std::string>>& beneath()
{
    static std::map<std::string, std::optional<std::string>> entries;
    return entries;
}

bool overridden(const std::string& key)
{
    return beneath().contains(key);
}

// The value in force once a layer changed: the run's, else the player's, else
// the one beneath (the key leaves the table if there is none).
void settle(const std::string& key)
{
    std::optional<std::string> value;
    if (auto run = runLayer().find(key); run != runLayer().end())
        value = run->second;
    else if (auto player = playerLayer().find(key); player != playerLayer().end())
        value = player->second;
    else if (auto under = beneath().find(key); under != beneath().end()) {
        value = under->second;
        beneath().erase(under);
    }
    if (value)
        table()[key] = *value;
    else
        table().erase(key);
}

// Marks a key as overridden, keeping what lies beneath.
void coverKey(const std::string& key)
{
    if (overridden(key))
        return;
    const auto found = table().find(key);
    beneath()[key] = found == table().end() ? std::nullopt : std::optional<std::string>(found->second);
}

// Keys whose bad value has been reported since the last load.
std::set<std::string>& reported()
{
    static std::set<std::string> keys;
    return keys;
}

template <class T> const char* typeName()
{
    if constexpr (std::is_same_v<T, bool>)
        return "0 or 1";
    else if constexpr (std::is_same_v<T, int>)
        return "an integer";
    else if constexpr (std::is_same_v<T, unsigned short>)
        return "an integer from 0 to 65535";
    else
        return "a number";
}

template <class T> std::string toText(const T& value)
{
    std::ostringstream out;
    if constexpr (std::is_same_v<T, bool>)
        out << (value ? 1 : 0);
    else
        out << value;
    return out.str();
}

// Stream conversion that accepts only text holding one value (surrounding
// white space allowed): "12abc" is not an integer.
template <class T> bool fromText(const std::string& text, T& value)
{
    std::istringstream in(text);
    if constexpr (std::is_unsigned_v<T> && !std::is_same_v<T, bool>) {
        // The stream would read "-1" as the largest value.
        in >> std::ws;
        if (in.peek() == '-')
            return false;
    }
    if constexpr (std::is_same_v<T, bool>) {
        int number = 0;
        if (!(in >> number))
            return false;
        value = number != 0;
    } else {
        T parsed{};
        if (!(in >> parsed))
            return false;
        value = parsed;
    }
    in >> std::ws;
    return in.eof();
}

template <class T> T getNumber(const std::string& key, const T& fallback)
{
    auto& entries = table();
    auto found = entries.find(key);
    if (found == entries.end()) {
        entries.emplace(key, toText(fallback));
        return fallback;
    }
    T value = fallback;
    if (!fromText(found->second, value)) {
        if (reported().insert(key).second) {
            log::warn() << "Tuning value " << key << " is \"" << found->second << "\", not " << typeName<T>()
                        << "; using " << toText(fallback);
        }
        return fallback;
    }
    return value;
}

} // namespace

namespace {
std::string& assets()
{
    static std::string directory = "assets/";
    return directory;
}
} // namespace

const std::string& assetDirectory()
{
    return assets();
}

void setAssetDirectory(const std::string& directory)
{
    assets() = directory.empty() || directory.back() == '/' ? directory : directory + "/";
}

std::string filePath(const std::string& name)
{
    return assetDirectory() + name + ".csv";
}

void load(const std::string& name)
{
    const std::string path = filePath(name);
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        log::warn() << "Could not open settings file: " << path;
    } else {
        const std::string prefix = name + ".";
        std::string line;
        while (std::getline(file, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const auto comma = line.find(',');
            if (comma == std::string::npos || comma == 0)
                continue;
            const std::string key = prefix + line.substr(0, comma);
            if (overridden(key))
                beneath()[key] = line.substr(comma + 1);
            else
                table()[key] = line.substr(comma + 1);
        }
    }
    reported().clear();
    SettingsEntryBase::refreshAll();
}

void save(const std::string& name)
{
    const std::string path = filePath(name);
    const std::string prefix = name + ".";
    std::string text;
    auto& entries = table();
    for (auto it = entries.lower_bound(prefix); it != entries.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0)
            break;
        const std::string* value = &it->second;
        if (auto under = beneath().find(it->first); under != beneath().end()) {
            // The file keeps its own value, not the player's or the run's.
            if (!under->second)
                continue;
            value = &*under->second;
        }
        text += it->first.substr(prefix.size()) + ',' + *value + '\n';
    }
    if (const std::string error = writeFileAtomically(path, text); !error.empty())
        log::warn() << "Could not write settings file: " << path << " (" << error << ")";
}

void loadPlayer(const std::filesystem::path& file)
{
    std::error_code missing;
    if (!std::filesystem::exists(file, missing))
        return; // nothing chosen yet
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        log::warn() << "Could not read settings file: " << file.string();
        return;
    }
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const auto comma = line.find(',');
        if (comma == std::string::npos || comma == 0) {
            log::warn() << "Settings file " << file.string() << ", line " << number
                        << ": not a key,value line; skipped";
            continue;
        }
        const std::string key = "tuning." + line.substr(0, comma);
        coverKey(key);
        playerLayer()[key] = line.substr(comma + 1);
        settle(key);
    }
    reported().clear();
    SettingsEntryBase::refreshAll();
}

bool savePlayer(const std::filesystem::path& file)
{
    std::string text = "# Skyscuffle: the settings you chose. A line removed goes back to the default.\n";
    for (const auto& [key, value] : playerLayer())
        text += (key.rfind("tuning.", 0) == 0 ? key.substr(7) : key) + ',' + value + '\n';
    std::error_code error;
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path(), error);
    std::string problem = error ? error.message() : writeFileAtomically(file, text);
    if (!problem.empty()) {
        log::warn() << "Could not write settings file: " << file.string() << " (" << problem << ")";
        return false;
    }
    return true;
}

void setPlayer(const std::string& key, const std::string& text)
{
    coverKey(key);
    playerLayer()[key] = text;
    settle(key);
    reported().erase(key);
    SettingsEntryBase::refreshAll();
}

void clearPlayer(const std::string& key)
{
    if (playerLayer().erase(key) == 0)
        return;
    settle(key);
    reported().erase(key);
    SettingsEntryBase::refreshAll();
}

namespace {
std::filesystem::path& playerFile()
{
    static std::filesystem::path file;
    return file;
}
} // namespace

void setPlayerFile(const std::filesystem::path& file)
{
    playerFile() = file;
}

bool keepPlayerChoices()
{
    return playerFile().empty() || savePlayer(playerFile());
}

bool isPlayers(const std::string& key)
{
    return playerLayer().contains(key);
}

void setForRun(const std::string& key, const std::string& text)
{
    coverKey(key);
    runLayer()[key] = text;
    settle(key);
    reported().erase(key);
    SettingsEntryBase::refreshAll();
}

void clearForRun(const std::string& key)
{
    if (runLayer().erase(key) == 0)
        return;
    settle(key);
    reported().erase(key);
    SettingsEntryBase::refreshAll();
}

template <> bool get<bool>(const std::string& key, const bool& fallback)
{
    return getNumber(key, fallback);
}

template <> int get<int>(const std::string& key, const int& fallback)
{
    return getNumber(key, fallback);
}

template <> unsigned short get<unsigned short>(const std::string& key, const unsigned short& fallback)
{
    return getNumber(key, fallback);
}

template <> float get<float>(const std::string& key, const float& fallback)
{
    return getNumber(key, fallback);
}

template <> std::string get<std::string>(const std::string& key, const std::string& fallback)
{
    auto [it, added] = table().try_emplace(key, fallback);
    return it->second;
}

template <> glm::vec2 get<glm::vec2>(const std::string& key, const glm::vec2& fallback)
{
    const float y = get<float>(key + ".y", fallback.y);
    const float x = get<float>(key + ".x", fallback.x);
    return {x, y};
}

void set(const std::string& key, const std::string& text)
{
    table()[key] = text;
    SettingsEntryBase::refreshAll();
}

bool has(const std::string& key)
{
    return table().contains(key);
}

} // namespace kit::settings
