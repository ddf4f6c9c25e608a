#pragma once

#include "game/startup/DataDirectory.h"

#include <filesystem>

namespace skyscuffle {

// Where this run's translations are: the build's "locale" beside the
// program's folder (a developer's or the tests' build), else the "locale"
// beside the data (<prefix>/share/locale when installed). A folder counts
// when a catalog of the game is in it. Empty when none is: English only.
std::filesystem::path findCatalogFolder(const DataDirectory& data, const std::filesystem::path& executable);

} // namespace skyscuffle
