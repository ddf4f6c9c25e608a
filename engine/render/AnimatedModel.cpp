#include "AnimatedModel.h"

#include "AnimSegment.h"
#include "MeshDrawing.h"

#include "engine/render/state/RenderState.h"
#include "engine/resources/Material.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/VertexBuffer.h"

#include <GL/glew.h>

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
    node = std::make_unique<AnimSegment>(mesh.resource, mesh->segments[segment]);
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

    for (const Mesh::Part& part : mesh->mesh.parts) {
        if (!part.buffer || !part.material || !part.material->use(state, globals) || !state.currentProgram)
            continue;
        ShaderProgram& program = *state.currentProgram;
        setMatrices(state, model);
        const std::size_t count = std::min(pose_.size(), maxBones);
        program.setUniform("boneCount", static_cast<int>(count));
        for (std::size_t b = 0; b < count; ++b)
            program.setUniform("bones[" + std::to_string(b) + "]", pose_[b]);

        glBindVertexArray(part.buffer->vertexArrayFor(program));
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(part.buffer->vertexCount));
        glBindVertexArray(0);
    }
}

} // namespace kit
