#pragma once

#include <string>

namespace kit {

// The whole file as text; empty when it cannot be read.
std::string readTextFile(const std::string& path);

} // namespace kit
