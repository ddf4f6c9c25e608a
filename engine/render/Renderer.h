#pragma once

#include "DrawBatcher.h"
#include "DrawItem.h"
#include "InstancedDraw.h"
#include "ScaledScene.h"

#include "engine/core/Component.h"
#include "engine/core/EntityCollection.h"
#include "engine/core/World.h"
#include "engine/resources/UniformValue.h"

#include <memory>
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
//
// With `batching` on, models that share a one-part mesh and a material with
// an instanced program are drawn many at a time (see DrawBatcher for which
// and in what order); the picture is the same as with it off, where every
// renderable is drawn alone, in the order above.
class Renderer : public Component {
public:
    Renderer(std::vector<TagId> spaceTags, UniformSet globals, bool unused, unsigned clearMask, float priority);

    void initialize() override;
    void render(float dt) override;

    UniformSet globals;
    std::vector<TagId> spaceTags;
    unsigned clearMask;
    // From the tuning value "tuning.renderer.batching" (1 on, 0 off) when made.
    bool batching;
    // Whether this renderer's scene may be drawn at a lower resolution and
    // stretched over the screen (see resolutionScale): the player's choice
    // "tuning.renderer.resolutionScale" (0: automatic), the automatic one
    // keeping a software renderer within "tuning.renderer.softwarePixels".
    // For a renderer that clears the colour buffer: it covers the screen.
    bool scalesWithResolution = false;

private:
    // Adds the renderable to the pass's items, unless it draws nothing now.
    void collect(Component* renderable, bool footprints);
    void drawOne(const DrawItem& item);
    // Draws the collected items, batched or one by one.
    void drawItems(bool reorder);
    [[nodiscard]] bool inSpace(EntityID id) const;

    RenderState* state_ = nullptr;
    EntityCollection* opaque_ = nullptr;
    EntityCollection* cameras_ = nullptr;
    World::RenderOrder* renderables_ = nullptr;
    std::vector<DrawItem> items_; // one pass's, refilled every pass
    DrawBatcher batcher_;
    std::unique_ptr<InstancedDraw> instanced_; // made on first use, with the context current
    std::unique_ptr<ScaledScene> scaled_;      // the same
};

} // namespace kit
