#include "GlfwLibrary.h"

#include <GLFW/glfw3.h>

#include <iostream>

namespace kit {

GlfwLibrary::GlfwLibrary()
{
    ready_ = glfwInit() == GLFW_TRUE;
    if (!ready_) {
        const char* description = nullptr;
        glfwGetError(&description);
        std::cerr << "Could not initialise GLFW: " << (description ? description : "no display available") << "\n";
        return;
    }
    glfwSetErrorCallback([](int code, const char* description) {
        std::cerr << "GLFW error " << code << ": " << description << "\n";
    });
}

GlfwLibrary::~GlfwLibrary()
{
    if (ready_)
        glfwTerminate();
}

} // namespace kit
