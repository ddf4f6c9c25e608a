#include "GlfwLibrary.h"

#include <GLFW/glfw3.h>

#include <iostream>

namespace kit {

GlfwLibrary::GlfwLibrary()
{
    glfwSetErrorCallback([](int code, const char* description) {
        std::cerr << "GLFW error " << code << ": " << description << "\n";
    });
    ready_ = glfwInit() == GLFW_TRUE;
}

GlfwLibrary::~GlfwLibrary()
{
    if (ready_)
        glfwTerminate();
}

} // namespace kit
