#include "ApplicationSettings.h"

namespace kit::applicationSettings {

const Setting<bool> fullscreen{"tuning.window.fullscreen", false,
                               "1 starts in full screen at the desktop's resolution"};
const Setting<float> width{"tuning.window.size.x", 800.0f, "the window's width in pixels"};
const Setting<float> height{"tuning.window.size.y", 600.0f, "the window's height in pixels"};
const Setting<int> samples{"tuning.window.samples", -1,
                           "multisampling of the window: -1 decides by the renderer (4 on a graphics card, off under "
                           "a software renderer), 0 off, or 2, 4, 8"};
const Setting<bool> verticalSync{"tuning.window.verticalSync", true,
                                 "menus wait for the display's refresh where it has one"};
const Setting<float> maxFrameRate{"tuning.window.maxFrameRate",
                                  120.0f,
                                  "frames drawn a second at most in a match (menus hold to their own lower rate)",
                                  {10.0f, 1000.0f}};
const Setting<float> frameBudgetMs{"tuning.resources.frameBudgetMs", 4.0f,
                                   "milliseconds a frame may spend turning loaded files into OpenGL objects (0 to "
                                   "1000 are used)"};

} // namespace kit::applicationSettings
