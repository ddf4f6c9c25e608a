#pragma once

#include "engine/core/GlfwLibrary.h"
#include "engine/core/Window.h"
#include "engine/core/application/GlewInitError.h"
#include "engine/render/state/RenderState.h"

#include <gtest/gtest.h>

#include <memory>

namespace test {

// A hidden window with a current OpenGL context, GLEW and a render state.
// The suite runs under a virtual display.
struct GlContext {
    kit::GlfwLibrary glfw;
    std::unique_ptr<kit::Window> window;
    std::unique_ptr<kit::RenderState> state;

    explicit GlContext(int width = 64, int height = 64)
    {
        if (!glfw.ready())
            return;
        kit::WindowSettings settings;
        settings.width = width;
        settings.height = height;
        settings.visible = false;
        window = kit::Window::open(settings);
        if (!window)
            return;
        kit::initializeGlew();
        state = std::make_unique<kit::RenderState>();
    }
    ~GlContext()
    {
        state.reset();
        window.reset();
    }
    [[nodiscard]] bool ready() const { return state != nullptr; }
};

} // namespace test
