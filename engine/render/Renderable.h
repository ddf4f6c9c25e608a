#pragma once

#include "engine/core/Component.h"

#include <glm/mat4x4.hpp>

namespace kit {

class Model;
class RenderState;
class UniformSet;

// Something a renderer draws: models, sprites, text. On entering a world it
// labels its entity "blending" or "noblending", which decides its pass.
class Renderable : public Component {
public:
    explicit Renderable(bool blending = false);

    void initialize() override;

    // Draws with the given model matrix through the render state.
    virtual void draw(RenderState& state, const glm::mat4& model, const UniformSet& globals) = 0;

    // The model that an instanced draw may stand in for: one whose draw is
    // exactly Model::draw. Null for every other renderable (and a class that
    // draws otherwise must say null too).
    virtual Model* instanceable() { return nullptr; }

    // Called by a renderer each frame before it looks at what this draws
    // (its mesh, for batching), so that it may bring its geometry up to date.
    virtual void prepare() {}

    bool blending;
};

} // namespace kit
