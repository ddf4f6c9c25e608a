#pragma once

#include <string_view>

namespace kit {

// Whether an OpenGL renderer string (GL_RENDERER) names a software
// rasteriser: llvmpipe, softpipe and their kin, where every pixel, and every
// multisample of it, costs CPU time.
bool isSoftwareRendererName(std::string_view renderer);

// Whether the current OpenGL context draws in software (false without one).
bool contextDrawsInSoftware();

} // namespace kit
