#include "ScreenSettings.h"

namespace skyscuffle::screenSettings {

const kit::Setting<float> loadingDelay{"tuning.loadingScreen.delay", 5.0f,
                                       "seconds before the loading screen moves on by itself"};

} // namespace skyscuffle::screenSettings
