#include "LookSettings.h"

namespace skyscuffle::lookSettings {

const kit::Setting<float> lowDetailBelowPixels{
    "tuning.renderer.lowDetailBelowPixels", 100.0f,
    "a plane, its propeller and weapons drawn with their light models while shorter than this on screen; 0 never"};

} // namespace skyscuffle::lookSettings
