#include "RenderSettings.h"

namespace kit::renderSettings {

const Setting<bool> batching{"tuning.renderer.batching", true,
                             "draw what shares a mesh and a material in one call (0: one call a model)"};
const Setting<float> resolutionScale{
    "tuning.renderer.resolutionScale", 0.0f,
    "the match's scene at this share of the window's width and height (0.25 to 1), or 0: automatic (full size on a "
    "graphics card; under a software renderer, what keeps the scene within renderer.softwarePixels)"};
const Setting<float> softwarePixels{"tuning.renderer.softwarePixels", 921600.0f,
                                    "the pixels an automatic scale allows a software renderer's scene"};

} // namespace kit::renderSettings
