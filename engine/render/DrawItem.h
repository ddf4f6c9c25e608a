#pragma once

#include "ScreenRect.h"

#include <glm/mat4x4.hpp>

namespace kit {

class Material;
class Model;
class Renderable;
class VertexBuffer;

// One renderable as a renderer pass is about to draw it. Plain data, filled
// by the renderer for every renderable of a pass before any is drawn.
struct DrawItem {
    Renderable* renderable = nullptr;
    glm::mat4 model{1.0f}; // the entity's world matrix
    float priority = 0.0f; // its render priority
    bool additive = false; // "additiveBlending": factors GL_SRC_ALPHA, GL_ONE
    bool cullFace = true;  // false for "noCullFace"

    // Set when the renderable may share an instanced draw: a model with one
    // loaded mesh part, whose material has a linked instanced program. Draws
    // with the same buffer, material, factors and culling may share one.
    Model* instanced = nullptr;
    VertexBuffer* buffer = nullptr; // not owned; its vertex array cache is used by the instanced draw
    Material* material = nullptr;

    // Where on the screen it can touch pixels (the whole screen when unknown).
    ScreenRect footprint = ScreenRect::whole();

    [[nodiscard]] bool sharesDrawWith(const DrawItem& other) const
    {
        return instanced && other.instanced && buffer == other.buffer && material == other.material &&
               additive == other.additive && cullFace == other.cullFace;
    }
};

} // namespace kit
