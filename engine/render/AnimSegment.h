#pragma once

#include "AnimNode.h"

#include "engine/resources/AnimatedMesh.h"

#include <memory>

namespace kit {

// Plays frames firstFrame to lastFrame of a skinned mesh's animation, looping
// or stopping at the end, without interpolating between frames.
class AnimSegment : public AnimNode {
public:
    AnimSegment(std::shared_ptr<const AnimatedMesh> mesh, const AnimationSegment& segment);

    void update(float dt) override;
    [[nodiscard]] glm::quat boneRotation(std::size_t bone) const override;
    [[nodiscard]] glm::vec3 rootPosition() const override;
    // The frame shown now, within the animation's frames.
    [[nodiscard]] int frame() const;

    int firstFrame;
    int lastFrame;
    float time = 0.0f; // seconds into the segment
    bool loop;
    float frameDuration; // seconds per frame

private:
    std::shared_ptr<const AnimatedMesh> mesh_;
};

} // namespace kit
