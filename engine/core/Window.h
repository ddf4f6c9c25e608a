#pragma once

#include "Signal.h"

#include <glm/vec2.hpp>

#include <memory>
#include <string>

struct GLFWwindow;

namespace kit {

struct WindowSettings {
    std::string title = "Skyscuffle";
    int width = 800; // pixels, ignored in full screen
    int height = 600;
    bool fullscreen = false; // on the primary monitor, at its current mode's size
    bool visible = true;     // tests open hidden windows
    int samples = 4;         // multisampling; dropped when the display offers none
    // Buffer swaps wait for the display's vertical blank, where the driver
    // offers one; off, frames go out as fast as the loop makes them.
    bool verticalSync = false;
};

// The game's one window and its OpenGL context. Every GLFW window event is
// turned into a signal of the same name, fired during event polling.
//
// A default-constructed Window is detached: it has no GLFW window, its queries
// return neutral values and its signals are fired only by whoever holds it.
// Tests drive the input services through one.
class Window {
public:
    Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window();

    // Opens a window with an OpenGL core context (3.3 or later) made current.
    // GLFW must be initialised. Returns null, after one line on standard error,
    // when the display cannot give such a window.
    static std::unique_ptr<Window> open(const WindowSettings& settings);

    // Processes pending window events; the signals fire from here.
    void pollEvents();

    void swapBuffers();
    [[nodiscard]] bool shouldClose() const;
    void setShouldClose(bool close);
    // As of the last events polled (asking the display each time is a round
    // trip to the X server, and every HUD element asks every frame).
    [[nodiscard]] glm::ivec2 size() const;
    [[nodiscard]] glm::ivec2 framebufferSize() const;
    // Cursor position in window coordinates.
    [[nodiscard]] glm::dvec2 cursorPosition() const;
    [[nodiscard]] std::string title() const { return title_; }
    [[nodiscard]] bool isDetached() const { return handle_ == nullptr; }

    // Full screen on the primary monitor at its current mode, or back to the
    // window it was (its last windowed size and place; a window that started
    // in full screen returns at the size it was opened with). The resized
    // signal follows, so the viewport and every aspect follow too.
    void setFullscreen(bool fullscreen);
    // The size the window has when not in full screen: at once if it is a
    // window now, on the way back from full screen otherwise.
    void setWindowedSize(glm::ivec2 size);
    // That size: the window's own while it is one (as last asked for or
    // reported by the display, whichever came later), the one it returns
    // at while in full screen. A detached window's is only remembered.
    [[nodiscard]] glm::ivec2 windowedSize() const { return windowedSize_; }
    // Shows a window opened hidden.
    void show();
    // Buffer swaps wait for the display's vertical blank (where the driver
    // offers one) or not. A detached window only remembers the choice.
    void setVerticalSync(bool on);
    [[nodiscard]] bool verticalSync() const { return verticalSync_; }

    // The text on the system clipboard (what Control+V pastes); empty when it
    // holds no text. A detached window keeps a clipboard of its own.
    [[nodiscard]] std::string clipboardText() const;
    void setClipboardText(const std::string& text);

    [[nodiscard]] bool isFullscreen() const;
    // The primary monitor's current mode size, the size full screen takes;
    // (0, 0) without a monitor. GLFW must be initialised.
    [[nodiscard]] static glm::ivec2 desktopSize();
    [[nodiscard]] GLFWwindow* handle() const { return handle_; }

    Signal<void()> close;
    Signal<void()> focusGained;
    Signal<void()> focusLost;
    Signal<void(int width, int height)> resized;
    Signal<void(int x, int y)> moved;
    Signal<void(unsigned int codePoint)> character;
    Signal<void(int entered)> cursorEntered;
    Signal<void(double x, double y)> cursorMoved;
    Signal<void(int key, int scancode, int action, int mods)> key;
    Signal<void(int button, int action, int mods)> mouseButton;
    Signal<void(double x, double y)> scroll;
    // The window's contents were lost (uncovered, say) and want drawing again.
    Signal<void()> refresh;
    // Fired by the application once per frame, before events are polled.
    Signal<void()> frame;

private:
    Window(GLFWwindow* handle, std::string title, glm::ivec2 windowedSize);
    void installCallbacks();

    GLFWwindow* handle_ = nullptr;
    std::string title_;
    glm::ivec2 windowedPosition_{0};
    glm::ivec2 windowedSize_{800, 600}; // kept by the size callback while not in full screen
    glm::ivec2 size_{0};                // the window's, kept by the size callback
    bool verticalSync_ = false;
    std::string detachedClipboard_;
};

} // namespace kit
