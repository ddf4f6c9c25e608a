#pragma once

namespace kit {

// Holds GLFW initialised for its lifetime. GLFW errors are reported on
// standard error as they happen.
class GlfwLibrary {
public:
    GlfwLibrary();
    GlfwLibrary(const GlfwLibrary&) = delete;
    GlfwLibrary& operator=(const GlfwLibrary&) = delete;
    ~GlfwLibrary();

    // False when GLFW could not be initialised (no display, for example).
    [[nodiscard]] bool ready() const { return ready_; }

private:
    bool ready_ = false;
};

} // namespace kit
