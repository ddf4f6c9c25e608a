#pragma once

#include "engine/core/Setting.h"

#include <string>

// The language of the words on screen.
namespace kit::translationSettings {

// A shipped language's code ("de"), or empty: the environment's.
extern const Setting<std::string> language;

} // namespace kit::translationSettings
