#include "InputSettings.h"

namespace skyscuffle::inputSettings {

const kit::Setting<float> deadZone{"tuning.joystick.deadZone", 0.0f,
                                   "the share of a stick's throw around its centre that steers nothing (up to 0.9)"};

} // namespace skyscuffle::inputSettings
