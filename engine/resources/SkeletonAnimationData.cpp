#include "SkeletonAnimationData.h"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>

namespace kit {

void SkeletonAnimationData::pose(int frame, std::vector<glm::mat4>& matrices) const
{
    if (frames.empty()) {
        matrices.assign(bones.size(), glm::mat4(1.0f));
        return;
    }
    const Frame& f = frames[static_cast<std::size_t>(std::clamp(frame, 0, static_cast<int>(frames.size()) - 1))];
    pose(f.rotations, f.rootPosition, matrices);
}

void SkeletonAnimationData::pose(const std::vector<glm::quat>& rotations, glm::vec3 rootPosition,
                                 std::vector<glm::mat4>& matrices) const
{
    std::vector<glm::mat4> global(bones.size());
    matrices.resize(bones.size());
    bool rootTaken = false;
    for (std::size_t i = 0; i < bones.size(); ++i) {
        const Bone& bone = bones[i];
        const bool isFirstRoot = bone.parent < 0 && !rootTaken;
        rootTaken = rootTaken || bone.parent < 0;
        const glm::vec3 translation = isFirstRoot ? rootPosition : bone.bindTranslation;
        const glm::quat rotation = i < rotations.size() ? rotations[i] : bone.bindRotation;
        const glm::mat4 local = bone.parentToNode * glm::translate(glm::mat4(1.0f), translation) *
                                glm::mat4_cast(rotation) * glm::scale(glm::mat4(1.0f), bone.bindScale);
        global[i] = bone.parent >= 0 ? global[static_cast<std::size_t>(bone.parent)] * local : local;
        matrices[i] = globalInverse * global[i] * bone.offset;
    }
}

} // namespace kit
