#pragma once

#include <string>

namespace skyscuffle {

// A player's choice on a settings screen: applied at once, kept in the
// player's settings file, and in force for the rest of the run even where
// the command line had given the key a value (that one lasts for the run
// and is never kept).
void keep(const std::string& key, const std::string& value);

// "On" or "Off", in the player's language: an on/off setting's value.
std::string onOff(bool on);

} // namespace skyscuffle
