#include "Settings.h"

#include "SettingsEntry.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
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

// Keys whose bad value has been reported since the last load.
std::set<std::string>& reported()
{
    static std::set<std::string> keys;
    return keys;
}

template <class T>
const char* typeName()
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

template <class T>
std::string toText(const T& value)
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
template <class T>
bool fromText(const std::string& text, T& value)
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

template <class T>
T getNumber(const std::string& key, const T& fallback)
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
            std::cerr << "Tuning value " << key << " is \"" << found->second << "\", not " << typeName<T>()
                      << "; using " << toText(fallback) << "\n";
        }
        return fallback;
    }
    return value;
}

} // namespace

const std::string& assetDirectory()
{
    static const std::string directory = "assets/";
    return directory;
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
        std::cerr << "Could not open settings file: " << path << "\n";
    } else {
        const std::string prefix = name + ".";
        std::string line;
        while (std::getline(file, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const auto comma = line.find(',');
            if (comma == std::string::npos || comma == 0)
                continue;
            table()[prefix + line.substr(0, comma)] = line.substr(comma + 1);
        }
    }
    reported().clear();
    SettingsEntryBase::refreshAll();
}

void save(const std::string& name)
{
    const std::string path = filePath(name);
    const std::string temporary = path + ".new";
    const std::string prefix = name + ".";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) {
            std::cerr << "Could not write settings file: " << path << "\n";
            return;
        }
        auto& entries = table();
        for (auto it = entries.lower_bound(prefix); it != entries.end(); ++it) {
            if (it->first.compare(0, prefix.size(), prefix) != 0)
                break;
            file << it->first.substr(prefix.size()) << ',' << it->second << '\n';
        }
        file.flush();
        if (!file) {
            std::cerr << "Could not write settings file: " << path << "\n";
            file.close();
            std::remove(temporary.c_str());
            return;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::cerr << "Could not write settings file: " << path << "\n";
        std::remove(temporary.c_str());
    }
}

template <>
bool get<bool>(const std::string& key, const bool& fallback)
{
    return getNumber(key, fallback);
}

template <>
int get<int>(const std::string& key, const int& fallback)
{
    return getNumber(key, fallback);
}

template <>
unsigned short get<unsigned short>(const std::string& key, const unsigned short& fallback)
{
    return getNumber(key, fallback);
}

template <>
float get<float>(const std::string& key, const float& fallback)
{
    return getNumber(key, fallback);
}

template <>
std::string get<std::string>(const std::string& key, const std::string& fallback)
{
    auto [it, added] = table().try_emplace(key, fallback);
    return it->second;
}

template <>
glm::vec2 get<glm::vec2>(const std::string& key, const glm::vec2& fallback)
{
    const float y = get<float>(key + ".y", fallback.y);
    const float x = get<float>(key + ".x", fallback.x);
    return {x, y};
}

void set(const std::string& key, const std::string& text)
{
    table()[key] = text;
}

bool has(const std::string& key)
{
    return table().contains(key);
}

} // namespace kit::settings
