// These tests open real windows: the suite runs them under a virtual display.
#include "engine/core/GlfwLibrary.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/core/application/GlewInitError.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

namespace {

struct RealWindow : ::testing::Test {
    kit::GlfwLibrary glfw;
    std::unique_ptr<kit::Window> window;

    void SetUp() override
    {
        ASSERT_TRUE(glfw.ready()) << "no display: run the suite through `make test`";
        kit::WindowSettings settings;
        settings.width = 320;
        settings.height = 200;
        settings.visible = false;
        window = kit::Window::open(settings);
        ASSERT_NE(window, nullptr);
        kit::initializeGlew();
    }
};

} // namespace

TEST_F(RealWindow, OpensTitledWithACoreContext)
{
    EXPECT_EQ(window->title(), "Skyscuffle");
    EXPECT_EQ(window->size(), glm::ivec2(320, 200));
    GLint major = 0, minor = 0, profile = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_GE(major * 10 + minor, 33);
    EXPECT_TRUE(profile & GL_CONTEXT_CORE_PROFILE_BIT);
}

TEST_F(RealWindow, TheApplicationSetsDepthAndCullingState)
{
    kit::Application app(window.get(), nullptr);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint depthFunc = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    EXPECT_EQ(depthFunc, GL_LEQUAL);
}

TEST_F(RealWindow, AResizeSetsTheViewportAndAZeroHeightIsHarmless)
{
    kit::Application app(window.get(), nullptr);
    window->resized(320, 0); // a minimised window
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 200); // the framebuffer keeps its size; nothing divides by zero

    app.setWorld(std::make_shared<kit::World>());
    app.frame(0.01f); // a frame on the real window: poll, passes, swap
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RealWindow, TheCloseRequestEndsTheLoop)
{
    kit::Application app(window.get(), nullptr);
    app.setWorld(std::make_shared<kit::World>());
    bool closed = false;
    kit::ScopedConnection seen = window->close.connect([&] { closed = true; });
    window->close(); // what GLFW's close callback fires
    app.run();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(app.running);
}
