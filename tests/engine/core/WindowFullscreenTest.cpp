// Full screen and back, and the clipboard, on a real window under the suite's virtual display
// (whose one monitor is the screen of the X server).
#include "engine/core/GlfwLibrary.h"
#include "engine/core/Window.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

struct ShownWindow : ::testing::Test {
    kit::GlfwLibrary glfw;
    std::unique_ptr<kit::Window> window;
    glm::ivec2 monitor{0};
    int resizes = 0;
    glm::ivec2 lastResize{0};
    kit::ScopedConnection resized;

    void SetUp() override
    {
        ASSERT_TRUE(glfw.ready()) << "no display: run the suite through `make test`";
        monitor = kit::Window::desktopSize();
        ASSERT_GT(monitor.x, 0) << "the display has no monitor";
        kit::WindowSettings settings;
        settings.width = 400;
        settings.height = 300;
        window = kit::Window::open(settings);
        ASSERT_NE(window, nullptr);
        resized = window->resized.connect([this](int w, int h) {
            ++resizes;
            lastResize = glm::ivec2(w, h);
        });
    }
    // Polls events until the window has the size, or a second has passed.
    bool becomes(glm::ivec2 size)
    {
        for (int i = 0; i < 100 && window->size() != size; ++i) {
            window->pollEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        window->pollEvents();
        return window->size() == size;
    }
};

} // namespace

TEST_F(ShownWindow, GoesFullScreenAtTheMonitorsSizeAndComesBack)
{
    EXPECT_FALSE(window->isFullscreen());
    window->setFullscreen(true);
    EXPECT_TRUE(window->isFullscreen());
    EXPECT_TRUE(becomes(monitor)) << "size " << window->size().x << "x" << window->size().y;
    EXPECT_GE(resizes, 1) << "the viewport and the aspects follow the resized signal";
    EXPECT_EQ(lastResize, monitor);

    window->setFullscreen(false);
    EXPECT_FALSE(window->isFullscreen());
    EXPECT_TRUE(becomes(glm::ivec2(400, 300)));
    EXPECT_EQ(lastResize, glm::ivec2(400, 300));
}

TEST_F(ShownWindow, AskingForTheSameStateChangesNothing)
{
    window->setFullscreen(false);
    window->pollEvents();
    EXPECT_EQ(resizes, 0);
    EXPECT_EQ(window->size(), glm::ivec2(400, 300));
}

TEST_F(ShownWindow, KnowsItsWindowedSizeInFullScreenAndOut)
{
    EXPECT_EQ(window->windowedSize(), glm::ivec2(400, 300));
    window->setWindowedSize(glm::ivec2(640, 480));
    EXPECT_EQ(window->windowedSize(), glm::ivec2(640, 480)) << "at once, before the display answers";
    EXPECT_TRUE(becomes(glm::ivec2(640, 480)));
    window->setFullscreen(true);
    EXPECT_TRUE(becomes(monitor));
    EXPECT_EQ(window->windowedSize(), glm::ivec2(640, 480)) << "the monitor's size is not the window's";
    window->setWindowedSize(glm::ivec2(500, 400));
    EXPECT_EQ(window->windowedSize(), glm::ivec2(500, 400)) << "the size it comes back at";
    EXPECT_EQ(window->size(), monitor);
    window->setFullscreen(false);
    EXPECT_TRUE(becomes(glm::ivec2(500, 400)));
    EXPECT_EQ(window->windowedSize(), glm::ivec2(500, 400));
}

TEST_F(ShownWindow, TakesASizeTheDisplayGaveItAsItsOwn)
{
    // As a window manager's limit or the player's drag would resize it.
    glfwSetWindowSize(window->handle(), 720, 540);
    EXPECT_TRUE(becomes(glm::ivec2(720, 540)));
    EXPECT_EQ(window->windowedSize(), glm::ivec2(720, 540));
    window->setFullscreen(true);
    EXPECT_TRUE(becomes(monitor));
    window->setFullscreen(false);
    EXPECT_TRUE(becomes(glm::ivec2(720, 540))) << "and comes back at it";
}

TEST_F(ShownWindow, AnIconifiedWindowsSizeOfNothingIsNotTheSizeItComesBackAt)
{
    // The suite's display has no window manager to iconify it: the display's
    // report is handed to the window's own handler as GLFW would hand it.
    GLFWwindowsizefun handler = glfwSetWindowSizeCallback(window->handle(), nullptr);
    glfwSetWindowSizeCallback(window->handle(), handler);
    ASSERT_NE(handler, nullptr);
    handler(window->handle(), 0, 0);
    EXPECT_EQ(window->size(), glm::ivec2(0, 0));
    EXPECT_EQ(lastResize, glm::ivec2(0, 0)) << "the viewport follows even so";
    handler(window->handle(), 640, 0);
    EXPECT_EQ(window->windowedSize(), glm::ivec2(400, 300));
    handler(window->handle(), 640, 480);
    EXPECT_EQ(window->windowedSize(), glm::ivec2(640, 480));
}

TEST(DetachedWindow, RemembersTheWindowedSizeItIsGiven)
{
    kit::Window window;
    window.setWindowedSize(glm::ivec2(1024, 768));
    EXPECT_EQ(window.windowedSize(), glm::ivec2(1024, 768));
    window.setWindowedSize(glm::ivec2(0, -5));
    EXPECT_EQ(window.windowedSize(), glm::ivec2(1, 1)) << "no size below a pixel";
}

TEST(DetachedWindow, NeverGoesFullScreen)
{
    kit::Window window;
    window.setFullscreen(true);
    EXPECT_FALSE(window.isFullscreen());
}

TEST_F(ShownWindow, TheClipboardHoldsWhatWasCopied)
{
    window->setClipboardText("192.168.1.20:16521");
    EXPECT_EQ(window->clipboardText(), "192.168.1.20:16521");
    window->setClipboardText("");
    EXPECT_EQ(window->clipboardText(), "");
}
