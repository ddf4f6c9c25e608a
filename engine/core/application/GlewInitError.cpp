#include "GlewInitError.h"

#include <GL/glew.h>

namespace kit {

void initializeGlew()
{
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK)
        throw GlewInitError();
    // On a core profile GLEW's extension probe leaves GL_INVALID_ENUM behind.
    while (glGetError() != GL_NO_ERROR) {
    }
}

} // namespace kit
