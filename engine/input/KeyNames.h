#pragma once

#include <string>

// Key codes by name, for files a person reads and edits: "X", "SPACE",
// "LEFT_SHIFT", "KP_5", "F7" (GLFW's names without the prefix).
namespace kit::keys {

// The key's name; "" for a code that has none.
std::string name(int key);
// The code of a name (upper or lower case); -1 for an unknown name.
int fromName(const std::string& name);

} // namespace kit::keys
