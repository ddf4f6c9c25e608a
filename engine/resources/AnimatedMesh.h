#pragma once

#include "Mesh.h"
#include "SkeletonAnimationData.h"

#include <map>
#include <string>

namespace kit {

// A named stretch of an animation.
struct AnimationSegment {
    int firstFrame = 0;
    int lastFrame = 0;
    bool loop = false;
    float frameDuration = 0.0f; // seconds per frame
};

// A skinned mesh with its skeleton, animation frames and named segments.
class AnimatedMesh {
public:
    // Stores a segment played at `speed` times the animation's own rate.
    void addSegment(const std::string& name, int firstFrame, int lastFrame, bool loop, float speed = 1.0f)
    {
        segments[name] =
            AnimationSegment{firstFrame, lastFrame, loop, speed != 0.0f ? skeleton.frameDuration / speed : 0.0f};
    }

    Mesh mesh;
    SkeletonAnimationData skeleton;
    std::map<std::string, AnimationSegment> segments;
};

} // namespace kit
