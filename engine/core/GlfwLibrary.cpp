#include "GlfwLibrary.h"

#include "Log.h"

#include <GLFW/glfw3.h>

namespace kit {

GlfwLibrary::GlfwLibrary()
{
    ready_ = glfwInit() == GLFW_TRUE;
    if (!ready_) {
        const char* description = nullptr;
        glfwGetError(&description);
        log::error() << "Could not initialise GLFW: " << (description ? description : "no display available");
        return;
    }
    glfwSetErrorCallback(
        [](int code, const char* description) { log::warn() << "GLFW error " << code << ": " << description; });
}

GlfwLibrary::~GlfwLibrary()
{
    if (ready_)
        glfwTerminate();
}

} // namespace kit
