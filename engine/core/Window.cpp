#include "Window.h"

#include "Log.h"

#include <GLFW/glfw3.h>

namespace kit {
namespace {

Window& owner(GLFWwindow* handle)
{
    return *static_cast<Window*>(glfwGetWindowUserPointer(handle));
}

GLFWwindow* createWindow(const WindowSettings& settings, int samples)
{
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    glfwWindowHint(GLFW_SAMPLES, samples);
    glfwWindowHint(GLFW_VISIBLE, settings.visible ? GLFW_TRUE : GLFW_FALSE);

    if (settings.fullscreen) {
        GLFWmonitor* monitor = glfwGetPrimaryMonitor();
        const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
        if (mode) {
            glfwWindowHint(GLFW_RED_BITS, mode->redBits);
            glfwWindowHint(GLFW_GREEN_BITS, mode->greenBits);
            glfwWindowHint(GLFW_BLUE_BITS, mode->blueBits);
            glfwWindowHint(GLFW_REFRESH_RATE, mode->refreshRate);
            return glfwCreateWindow(mode->width, mode->height, settings.title.c_str(), monitor, nullptr);
        }
    }
    return glfwCreateWindow(settings.width, settings.height, settings.title.c_str(), nullptr, nullptr);
}

} // namespace

Window::Window() = default;

Window::Window(GLFWwindow* handle, std::string title, glm::ivec2 windowedSize)
    : handle_(handle), title_(std::move(title)), windowedSize_(windowedSize)
{
    glfwGetWindowSize(handle_, &size_.x, &size_.y);
    installCallbacks();
}

Window::~Window()
{
    if (handle_)
        glfwDestroyWindow(handle_);
}

std::unique_ptr<Window> Window::open(const WindowSettings& settings)
{
    const int width = settings.width > 0 ? settings.width : 800;
    const int height = settings.height > 0 ? settings.height : 600;
    WindowSettings sized = settings;
    sized.width = width;
    sized.height = height;

    // Failed attempts are reported once, below, not by the error callback.
    GLFWerrorfun reporter = glfwSetErrorCallback(nullptr);
    GLFWwindow* handle = createWindow(sized, settings.samples);
    if (!handle && settings.samples > 0)
        handle = createWindow(sized, 0); // a display without multisampled visuals
    const char* description = nullptr;
    glfwGetError(&description);
    glfwSetErrorCallback(reporter);
    if (!handle) {
        log::error() << "Could not open a window with an OpenGL 3.3 core context: "
                     << (description ? description : "unknown error");
        return nullptr;
    }
    glfwMakeContextCurrent(handle);
    std::unique_ptr<Window> window(new Window(handle, settings.title, glm::ivec2(width, height)));
    window->setVerticalSync(settings.verticalSync);
    return window;
}

void Window::installCallbacks()
{
    glfwSetWindowUserPointer(handle_, this);
    glfwSetWindowCloseCallback(handle_, [](GLFWwindow* h) {
        owner(h).close();
        glfwSetWindowShouldClose(h, GLFW_TRUE);
    });
    glfwSetWindowFocusCallback(handle_, [](GLFWwindow* h, int focused) {
        if (focused == 1)
            owner(h).focusGained();
        else
            owner(h).focusLost();
    });
    glfwSetWindowSizeCallback(handle_, [](GLFWwindow* h, int w, int ht) {
        Window& window = owner(h);
        window.size_ = glm::ivec2(w, ht);
        // A size the display settled on (a window manager's limit, the
        // player's drag) is the window's size from now on; an iconified
        // window reports none.
        if (w > 0 && ht > 0 && !window.isFullscreen())
            window.windowedSize_ = window.size_;
        window.resized(w, ht);
    });
    glfwSetWindowPosCallback(handle_, [](GLFWwindow* h, int x, int y) { owner(h).moved(x, y); });
    glfwSetWindowRefreshCallback(handle_, [](GLFWwindow* h) { owner(h).refresh(); });
    glfwSetCharCallback(handle_, [](GLFWwindow* h, unsigned int c) { owner(h).character(c); });
    glfwSetCursorEnterCallback(handle_, [](GLFWwindow* h, int entered) { owner(h).cursorEntered(entered); });
    glfwSetCursorPosCallback(handle_, [](GLFWwindow* h, double x, double y) { owner(h).cursorMoved(x, y); });
    glfwSetKeyCallback(handle_, [](GLFWwindow* h, int k, int scancode, int action, int mods) {
        owner(h).key(k, scancode, action, mods);
    });
    glfwSetMouseButtonCallback(
        handle_, [](GLFWwindow* h, int button, int action, int mods) { owner(h).mouseButton(button, action, mods); });
    glfwSetScrollCallback(handle_, [](GLFWwindow* h, double x, double y) { owner(h).scroll(x, y); });
}

void Window::pollEvents()
{
    if (handle_)
        glfwPollEvents();
}

void Window::swapBuffers()
{
    if (handle_)
        glfwSwapBuffers(handle_);
}

bool Window::shouldClose() const
{
    return handle_ && glfwWindowShouldClose(handle_);
}

void Window::setVerticalSync(bool on)
{
    verticalSync_ = on;
    if (handle_)
        glfwSwapInterval(on ? 1 : 0); // the context is this window's: the game has one
}

void Window::show()
{
    if (handle_)
        glfwShowWindow(handle_);
}

void Window::setShouldClose(bool close)
{
    if (handle_)
        glfwSetWindowShouldClose(handle_, close ? GLFW_TRUE : GLFW_FALSE);
}

glm::ivec2 Window::size() const
{
    return handle_ ? size_ : glm::ivec2(0);
}

void Window::setFullscreen(bool fullscreen)
{
    if (!handle_ || fullscreen == isFullscreen())
        return;
    if (!fullscreen) {
        glfwSetWindowMonitor(handle_, nullptr, windowedPosition_.x, windowedPosition_.y, windowedSize_.x,
                             windowedSize_.y, GLFW_DONT_CARE);
        return;
    }
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (!mode) {
        log::warn() << "No monitor to show the game in full screen";
        return;
    }
    glfwGetWindowPos(handle_, &windowedPosition_.x, &windowedPosition_.y);
    glfwGetWindowSize(handle_, &windowedSize_.x, &windowedSize_.y);
    glfwSetWindowMonitor(handle_, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
}

void Window::setWindowedSize(glm::ivec2 size)
{
    windowedSize_ = glm::max(size, glm::ivec2(1));
    if (handle_ && !isFullscreen())
        glfwSetWindowSize(handle_, windowedSize_.x, windowedSize_.y);
}

glm::ivec2 Window::desktopSize()
{
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    return mode ? glm::ivec2(mode->width, mode->height) : glm::ivec2(0);
}

std::string Window::clipboardText() const
{
    if (!handle_)
        return detachedClipboard_;
    // A clipboard without text is no error worth a line on the console.
    GLFWerrorfun reporter = glfwSetErrorCallback(nullptr);
    const char* text = glfwGetClipboardString(handle_);
    glfwGetError(nullptr);
    glfwSetErrorCallback(reporter);
    return text ? std::string(text) : std::string();
}

void Window::setClipboardText(const std::string& text)
{
    if (handle_)
        glfwSetClipboardString(handle_, text.c_str());
    else
        detachedClipboard_ = text;
}

bool Window::isFullscreen() const
{
    return handle_ && glfwGetWindowMonitor(handle_) != nullptr;
}

glm::ivec2 Window::framebufferSize() const
{
    glm::ivec2 s(0);
    if (handle_)
        glfwGetFramebufferSize(handle_, &s.x, &s.y);
    return s;
}

glm::dvec2 Window::cursorPosition() const
{
    glm::dvec2 p(0.0);
    if (handle_)
        glfwGetCursorPos(handle_, &p.x, &p.y);
    return p;
}

} // namespace kit
