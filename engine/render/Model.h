#pragma once

#include "Renderable.h"

#include "engine/resources/Mesh.h"
#include "engine/resources/ResourceHandle.h"
#include "engine/resources/UniformOverrides.h"

#include <memory>
#include <string>
#include <string_view>

namespace kit {

class Material;

// Draws a mesh. Its visibility (`enabled`) is replicated as one bit, so a
// model follows its owner's over the network. Entities labelled
// "additiveBlending" are drawn with additive blend factors.
class Model : public Renderable {
public:
    explicit Model(ResourceHandle<Mesh> mesh, bool blending = false);

    void draw(RenderState& state, const glm::mat4& model, const UniformSet& globals) override;
    Model* instanceable() override { return this; }
    void serialize(NetStream& stream) override;
    std::string networkTypeName() const override { return "model"; }

    // This entity's own uniform values ("alpha", "color", "value"), sent
    // over its material's on every draw of every part. The material itself,
    // often shared with other entities or owned by a cached mesh, is left
    // as it is. Cheap to call every frame.
    template <class Value>
    void setUniform(std::string_view name, const Value& value)
    {
        overrides_.set(name, value);
    }
    template <class T>
    [[nodiscard]] const T* uniform(std::string_view name) const
    {
        return overrides_.get<T>(name);
    }
    // The material's value shows again. False when this entity set none.
    bool removeUniform(std::string_view name) { return overrides_.remove(name); }
    [[nodiscard]] const UniformOverrides& uniformOverrides() const { return overrides_; }

    // The mesh to draw through this model matrix now: `lowDetail` while it
    // is loaded and the model spans fewer than `lowDetailBelowPixels` pixels
    // of the viewport on screen (the longer side of its bounds' screen
    // rectangle), else `mesh`.
    [[nodiscard]] const ResourceHandle<Mesh>& meshFor(const RenderState& state, const glm::mat4& model) const;

    ResourceHandle<Mesh> mesh;
    // A lighter version of `mesh` (the same shape, parts and texture layout
    // with fewer triangles) for when the model is small on screen: a match
    // draws its planes tens of pixels long, the win screen hundreds.
    ResourceHandle<Mesh> lowDetail;
    float lowDetailBelowPixels = 0.0f;
    // When set, every part is drawn with this material instead of its own.
    // Many entities may share one (a material per program and texture for
    // all the particles that look alike) and differ by their uniform values above.
    std::shared_ptr<Material> material;

private:
    UniformOverrides overrides_;
};

} // namespace kit
