#pragma once

#include <istream>
#include <optional>
#include <string>

// One line typed into the console, without the line end and surrounding
// blanks; nothing at the end of the input (no console, standard input
// closed), which every later call reports at once too, never blocking.
std::optional<std::string> readConsoleLine(std::istream& in);

// Whether the game's standard input is a terminal, which echoes the typed
// line and its line end to the console itself.
bool consoleEchoesInput();
