#include "AnimSegment.h"

#include <algorithm>
#include <cmath>

namespace kit {

AnimSegment::AnimSegment(std::shared_ptr<const AnimatedMesh> mesh, const AnimationSegment& segment)
    : firstFrame(segment.firstFrame),
      lastFrame(segment.lastFrame),
      loop(segment.loop),
      frameDuration(segment.frameDuration),
      mesh_(std::move(mesh))
{
}

void AnimSegment::update(float dt)
{
    time += dt;
    const float length = static_cast<float>(lastFrame - firstFrame) * frameDuration;
    if (!loop) {
        time = std::min(time, length);
    } else if (length > 0.0f) {
        time = std::fmod(time, length); // the same as subtracting the length while time >= length
        if (time < 0.0f)
            time += length;
    } else {
        time = 0.0f;
    }
}

int AnimSegment::frame() const
{
    const int frames = mesh_ ? static_cast<int>(mesh_->skeleton.frames.size()) : 0;
    if (frames == 0)
        return 0;
    const int offset = frameDuration > 0.0f ? static_cast<int>(time / frameDuration) : 0;
    return std::clamp(firstFrame + offset, 0, frames - 1);
}

glm::quat AnimSegment::boneRotation(std::size_t bone) const
{
    if (!mesh_ || mesh_->skeleton.frames.empty())
        return glm::quat(1, 0, 0, 0);
    const auto& rotations = mesh_->skeleton.frames[static_cast<std::size_t>(frame())].rotations;
    return bone < rotations.size() ? rotations[bone] : glm::quat(1, 0, 0, 0);
}

glm::vec3 AnimSegment::rootPosition() const
{
    if (!mesh_ || mesh_->skeleton.frames.empty())
        return glm::vec3(0.0f);
    return mesh_->skeleton.frames[static_cast<std::size_t>(frame())].rootPosition;
}

} // namespace kit
