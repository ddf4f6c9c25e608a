#pragma once

#include <stdexcept>

namespace kit {

// Thrown at start-up when GLEW cannot load the OpenGL entry points.
class GlewInitError : public std::runtime_error {
public:
    GlewInitError() : std::runtime_error("Failed to initialize GLEW\n") {}
};

// Loads the OpenGL entry points for the current context (GLEW's experimental
// mode, which core profiles need). Throws GlewInitError on failure.
void initializeGlew();

} // namespace kit
