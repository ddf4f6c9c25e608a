#include "AnimatedModel.h"

#include "AnimSegment.h"
#include "MeshDrawing.h"

#include "engine/render/state/RenderState.h"
#include "engine/resources/Material.h"
#include "engine/resources/ShaderProgram.h"
#include <GL/glew.h>

#include <algorithm>

namespace kit {

AnimatedModel::AnimatedModel(ResourceHandle<AnimatedMesh> mesh, const std::string& firstSegment, bool blending)
    : Renderable(blending), mesh(std::move(mesh))
{
    addClassTags<AnimatedModel>("animatedModel");
    addTag(tagId("behavior"));
    if (!firstSegment.empty())
        play(firstSegment);
}

void AnimatedModel::play(const std::string& segment)
{
    if (!mesh.isLoaded()) {
        pendingSegment_ = segment;
        return;
    }
    pendingSegment_.clear();
    // An unknown name plays an empty segment (the mesh is shared: it is not changed).
    const auto found = mesh->segments.find(segment);
    node = std::make_unique<AnimSegment>(mesh.resource,
                                         found != mesh->segments.end() ? found->second : AnimationSegment{});
}

void AnimatedModel::update(float dt)
{
    if (!pendingSegment_.empty() && mesh.isLoaded())
        play(pendingSegment_);
    if (node)
        node->update(dt);
}

void AnimatedModel::draw(RenderState& state, const glm::mat4& model, const UniformSet& globals)
{
    if (!mesh.isLoaded())
        return;
    state.setBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    const SkeletonAnimationData& skeleton = mesh->skeleton;
    std::vector<glm::quat> rotations(skeleton.bones.size());
    for (std::size_t b = 0; b < rotations.size(); ++b)
        rotations[b] = node ? node->boneRotation(b) : skeleton.bones[b].bindRotation;
    const glm::vec3 root = node ? node->rootPosition()
                                : (skeleton.bones.empty() ? glm::vec3(0.0f) : skeleton.bones[0].bindTranslation);
    skeleton.pose(rotations, root, pose_);

    const int count = static_cast<int>(std::min(pose_.size(), maxBones));
    drawMesh(mesh->mesh, state, model, globals, nullptr, nullptr, [&](ShaderProgram& program) {
        program.setUniform("boneCount", count);
        program.setUniformArray("bones", pose_.data(), count);
    });
}

} // namespace kit
