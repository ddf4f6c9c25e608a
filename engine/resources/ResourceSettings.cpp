#include "ResourceSettings.h"

namespace kit::resourceSettings {

const Setting<int> trilinear{"tuning.renderer.trilinear", -1,
                             "texture filtering between mipmap levels: -1 decides by the renderer (off under a "
                             "software renderer), 1 on, 0 off"};

} // namespace kit::resourceSettings
