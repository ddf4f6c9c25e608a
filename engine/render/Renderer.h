#pragma once

#include "engine/core/Component.h"
#include "engine/core/EntityCollection.h"
#include "engine/core/World.h"
#include "engine/resources/UniformValue.h"

#include <vector>

namespace kit {

class RenderState;

// Draws the renderable entities that carry all of its space tags ("gameSpace",
// "hudSpace"), through the first camera entity that carries them too: opaque
// ones first (entity order), then blended ones in render priority; entities
// labelled "additiveBlending" count as blended whatever their renderable says.
// Several renderers draw in their render priority, each on a cleared depth
// buffer, so an overlay renderer with a higher priority draws over the scene.
// Global uniforms ("eyePos", lights) go to every program it uses.
class Renderer : public Component {
public:
    Renderer(std::vector<TagId> spaceTags, UniformSet globals, bool unused, unsigned clearMask, float priority);

    void initialize() override;
    void render(float dt) override;

    UniformSet globals;
    std::vector<TagId> spaceTags;
    unsigned clearMask;

private:
    void drawEntity(Component* renderable);
    [[nodiscard]] bool inSpace(EntityID id) const;

    RenderState* state_ = nullptr;
    EntityCollection* opaque_ = nullptr;
    EntityCollection* cameras_ = nullptr;
    World::RenderOrder* renderables_ = nullptr;
};

} // namespace kit
