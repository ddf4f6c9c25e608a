#include "LookSettings.h"

namespace skyscuffle::lookSettings {

const kit::Setting<float> lowDetailBelowPixels{
    "tuning.renderer.lowDetailBelowPixels", 100.0f,
    "a plane, its propeller and weapons drawn with their light models while shorter than this on screen; 0 never"};

const kit::Setting<int> textSize{
    "tuning.interface.textSize", 100, "the size of the words on the menus and over the match, in percent", {100, 200}};

} // namespace skyscuffle::lookSettings
