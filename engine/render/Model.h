#pragma once

#include "Renderable.h"

#include "engine/resources/Mesh.h"
#include "engine/resources/ResourceHandle.h"

#include <string>

namespace kit {

class Material;

// Draws a mesh. Its visibility (`enabled`) is replicated as one bit, so a
// model follows its owner's over the network. Entities labelled
// "additiveBlending" are drawn with additive blend factors.
class Model : public Renderable {
public:
    explicit Model(ResourceHandle<Mesh> mesh, bool blending = false);

    void draw(RenderState& state, const glm::mat4& model, const UniformSet& globals) override;
    void serialize(NetStream& stream) override;
    std::string networkTypeName() const override { return "model"; }

    ResourceHandle<Mesh> mesh;
    // When set, every part is drawn with this material instead of its own:
    // meshes are shared through the cache, so per-entity values (a particle's
    // colour, a plane's texture) live here.
    std::shared_ptr<Material> material;
};

} // namespace kit
