#pragma once

#include <glm/vec2.hpp>

namespace kit {

class RenderState;

// Draws a scene at a lower resolution and stretches it over the screen: an
// off-screen target (a colour texture and a depth buffer) that the scene is
// drawn into, then one screen-filling triangle that samples it with linear
// filtering into the window's framebuffer, multisampled or not. What is drawn
// after it (the HUD, text) keeps the screen's full resolution. Owns its
// OpenGL objects; main thread, with the context current.
class ScaledScene {
public:
    ScaledScene() = default;
    ScaledScene(const ScaledScene&) = delete;
    ScaledScene& operator=(const ScaledScene&) = delete;
    ~ScaledScene();

    // Directs drawing into the target, `size` pixels (made or resized as
    // needed), with the viewport set to it. False, changing nothing, when
    // the target cannot be made: then the scene is drawn straight to the screen.
    bool begin(glm::ivec2 size);
    // Back to the window's framebuffer, over which the target is stretched
    // (`screen` pixels); leaves depth test, blending and face culling off.
    void end(RenderState& state, glm::ivec2 screen);

    [[nodiscard]] glm::ivec2 size() const { return size_; }

private:
    void release();
    bool makeTarget(glm::ivec2 size);
    bool makeProgram();

    unsigned framebuffer_ = 0;
    unsigned colour_ = 0; // texture
    unsigned depth_ = 0;  // renderbuffer
    unsigned program_ = 0;
    unsigned vertexArray_ = 0; // empty: the triangle comes from gl_VertexID
    glm::ivec2 size_{0};
    bool failed_ = false; // a program that would not build is not tried every frame
};

} // namespace kit
