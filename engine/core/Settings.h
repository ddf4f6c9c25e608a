#pragma once

#include <glm/vec2.hpp>

#include <string>

// The tuning table: one process-wide map from dotted key to value text, read
// from "assets/<name>.csv" at start, re-read on request, written back at exit.
// Every key the code asks for lands in the table with its default, so the file
// written at exit lists every key in use. Main thread only.
namespace kit::settings {

// The directory of the game's assets, relative to the working directory.
const std::string& assetDirectory();

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
template <class T>
T get(const std::string& key, const T& fallback);

template <>
bool get<bool>(const std::string& key, const bool& fallback);
template <>
int get<int>(const std::string& key, const int& fallback);
template <>
unsigned short get<unsigned short>(const std::string& key, const unsigned short& fallback);
template <>
float get<float>(const std::string& key, const float& fallback);
template <>
std::string get<std::string>(const std::string& key, const std::string& fallback);
// Stored as key + ".x" and key + ".y".
template <>
glm::vec2 get<glm::vec2>(const std::string& key, const glm::vec2& fallback);

void set(const std::string& key, const std::string& text);
[[nodiscard]] bool has(const std::string& key);

} // namespace kit::settings
