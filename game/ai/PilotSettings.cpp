#include "PilotSettings.h"

namespace skyscuffle::pilotSettings {

const kit::Setting<std::string> strength{"tuning.ai.strength", "normal",
                                         "the strength of a new computer pilot: easy, normal or hard"};

} // namespace skyscuffle::pilotSettings
