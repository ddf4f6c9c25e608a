#pragma once

#include "Body.h"
#include "Contact.h"

#include "engine/core/Tags.h"

#include <vector>

namespace kit {

// A Body that pushes itself out of the colliders it overlaps, exchanges
// momentum with other rigid bodies and records the contacts of the frame.
// Replicated as "body", like its base.
class RigidBody : public Body {
public:
    // The body is tested against every entity that carries all of extraTags
    // and has a Transform, a collider and a RigidBody.
    RigidBody(bool isStatic, glm::vec3 velocity, const std::vector<TagId>& extraTags, float mass = 1.0f,
              float restitution = 0.0f);

    // Makes sure the world has a RigidBodySystem to clear contacts each frame.
    void initialize() override;
    void onRemoved() override { contacts.clear(); }
    void update(float dt) override;
    // The push and bounce the world's static bodies would give this body at
    // `pose`, moving at `velocity`, as its own update gives them: for a body
    // carried forward from a record between frames. Moving bodies are left
    // out (where they will be is not known). True when something was met.
    bool meetStatic(Transform& pose, glm::vec3& velocity);

    std::vector<Contact> contacts; // valid from this body's update to the next frame's clearing
    float restitution;             // multiplied with the other body's
    float isStatic;                // 1 for an immovable body, else 0
    TagSet collisionTags;

private:
    void resolve(Transform& self);
    // Another copy's entity that follows its owner's records ("followsState").
    [[nodiscard]] bool followsOwner(EntityID id) const;
};

} // namespace kit
