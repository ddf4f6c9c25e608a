#pragma once

namespace kit {

// Holds GLFW initialised for its lifetime. A failure to initialise is reported
// in one line on standard error; later GLFW errors as they happen.
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
