#include "SoundSettings.h"

namespace skyscuffle::soundSettings {

const kit::Setting<float> musicVolume{"tuning.sound.musicVolume", 1.0f, "the music's volume, 0 to 1"};
const kit::Setting<float> effectsVolume{"tuning.sound.effectsVolume", 1.0f, "the sound effects' volume, 0 to 1"};

} // namespace skyscuffle::soundSettings
