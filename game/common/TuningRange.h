#pragma once

#include "engine/core/SettingsEntry.h"

namespace skyscuffle {

// A tuning value that must be a finite number of at least `lowest`: its
// value when it is, otherwise `fallback`, with one line on standard error
// (once for each key and unusable value, however often it is read).
float tunedAtLeast(const kit::SettingsEntry<float>& entry, float lowest, float fallback);

} // namespace skyscuffle
