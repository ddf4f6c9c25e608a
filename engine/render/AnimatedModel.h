#pragma once

#include "AnimNode.h"
#include "Renderable.h"

#include "engine/resources/AnimatedMesh.h"
#include "engine/resources/ResourceHandle.h"

#include <memory>
#include <string>
#include <vector>

namespace kit {

// A skinned mesh posed by its current animation node, advanced every frame.
// Skinning happens in the vertex shader: the pose's bone matrices go to the
// uniform array "bones" (up to maxBones), the vertices' "index" and "weight"
// attributes pick and blend four of them.
class AnimatedModel : public Renderable {
public:
    static constexpr std::size_t maxBones = 64;

    AnimatedModel(ResourceHandle<AnimatedMesh> mesh, const std::string& firstSegment = "", bool blending = false);

    // Starts the named segment from its beginning (an unknown name plays nothing).
    void play(const std::string& segment);

    void update(float dt) override;
    void draw(RenderState& state, const glm::mat4& model, const UniformSet& globals) override;

    ResourceHandle<AnimatedMesh> mesh;
    std::unique_ptr<AnimNode> node;

private:
    std::string pendingSegment_; // asked for before the mesh had loaded
    std::vector<glm::mat4> pose_;
};

} // namespace kit
