#pragma once

#include <glm/gtc/quaternion.hpp>
#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <string>
#include <vector>

namespace kit {

// A skeleton and its animation sampled at whole frames: per frame, every
// bone's rotation and the root's position. Bones are ordered parents first.
struct SkeletonAnimationData {
    struct Bone {
        std::string name;
        int parent = -1;                   // index of the parent bone, -1 for a root
        glm::mat4 offset{1.0f};            // mesh space to the bone's bind space
        glm::mat4 parentToNode{1.0f};      // transforms of the non-bone nodes above this bone, up to its parent bone
        glm::vec3 bindTranslation{0.0f};   // relative to the parent
        glm::quat bindRotation{1.0f, 0.0f, 0.0f, 0.0f};
        glm::vec3 bindScale{1.0f};
    };
    struct Frame {
        std::vector<glm::quat> rotations; // one per bone
        glm::vec3 rootPosition{0.0f};     // of the first root bone
    };

    std::vector<Bone> bones;
    std::vector<Frame> frames;
    float frameDuration = 1.0f / 25.0f; // seconds per frame at speed 1
    glm::mat4 globalInverse{1.0f};      // inverse of the scene root's transform

    // The skinning matrix of every bone for a frame (clamped to the frames
    // there are): what moves a vertex from bind pose to that frame. Identity
    // for every bone when there are no frames.
    void pose(int frame, std::vector<glm::mat4>& matrices) const;
    // The same with an explicit rotation per bone and root position.
    void pose(const std::vector<glm::quat>& rotations, glm::vec3 rootPosition, std::vector<glm::mat4>& matrices) const;
};

} // namespace kit
