#pragma once

#include "engine/core/Setting.h"

// The window and the frame.
namespace kit::applicationSettings {

extern const Setting<bool> fullscreen;
extern const Setting<float> width;
extern const Setting<float> height;
extern const Setting<int> samples;
extern const Setting<bool> verticalSync;
extern const Setting<float> maxFrameRate;
extern const Setting<float> frameBudgetMs;

} // namespace kit::applicationSettings
