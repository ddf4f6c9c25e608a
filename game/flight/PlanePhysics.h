#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"

#include <glm/gtc/quaternion.hpp>
#include <glm/vec3.hpp>

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace kit {
class Body;
class RigidBody;
class Transform;
} // namespace kit

namespace skyscuffle {

// Flies a plane from its virtual gamepad: the stick turns the nose and gives
// throttle, a side force swings the velocity toward the nose (the wings'
// lift), drag slows it, button 0 dashes (a burst of speed along the stick,
// heavier for the dash, ramming what it touches). Writes the plane's
// rotation and its body's velocity change; the body moves it. Runs on every
// copy: a remote plane turns and dashes from its replicated steering, and
// ends its dash as the owner does, from the replicated dash state. A wreck
// flies no more and its dash ends at once.
//
// Replicated as "planePhysics": angularVelocity (f32), dashTimer (f32), the
// enabled bit, steer (3 x f32), then (added later, so a reader that stops
// after steer still reads the rest right) speedBeforeDash (f32) and
// dashCount (u32).
class PlanePhysics : public kit::Behavior {
public:
    // One plane rammed: when, and which.
    struct Ram {
        float time;
        kit::EntityID victim;
        kit::World* world;
    };

    explicit PlanePhysics(kit::EntityHandle propeller);

    void update(float dt) override;
    // Another copy's plane `seconds` after its record, by its own flight
    // rules from the record's steering (and gravity): the pose and the
    // velocity carried forward in steps of carryStep, this plane's turning
    // and dash with them. Nothing else happens (no rams, no effects) and
    // nothing is in the way.
    void carryForward(glm::vec3& position, glm::quat& rotation, glm::vec3& velocity, float seconds);
    static constexpr float carryStep = 1.0f / 60.0f;
    // Whether other copies' planes glide between their records here, and
    // this copy's dashes leave at once (tuning.network.glide, 1 unless 0:
    // else a record is taken as it comes, where the plane was a delay ago).
    static bool glides();
    void serialize(kit::NetStream& stream) override;
    std::string networkTypeName() const override { return "planePhysics"; }

    float angularVelocity = 0.0f; // rad/s, positive turns the nose clockwise as seen by the camera
    float dashTimer = 0.0f;       // seconds of dash left
    float dashCooldown = 0.0f;    // seconds until the next dash may start
    float speedBeforeDash = 0.0f; // what the end of the dash cuts the speed back to
    std::uint32_t dashCount = 0;  // dashes started: tells a new dash from the tail of the last
    glm::vec3 dashDirection{0.0f};
    std::deque<Ram> ramHistory; // oldest first
    float clock = 0.0f;         // seconds of updates so far
    bool isDashing = false;
    glm::vec3 steer{0.0f}; // the stick of the last update, (x, y, 0)
    kit::EntityHandle propeller;
    // What is left of a dash that a record's age ended: it ends in the next
    // update, with its speed cut back as any dash's end.
    static constexpr float dashEnding = 1e-4f;

private:
    // The steps of an update, in order.
    void readStick(kit::RigidBody& body, kit::Transform& transform, glm::vec3 forward);
    void runDash(kit::RigidBody& body, glm::vec3 direction, float dt);
    void thrust(kit::RigidBody& body, glm::vec3 forward, float speedMultiplier, float dt);
    void lift(kit::RigidBody& body, glm::vec3 forward, glm::vec3 normal, float dt) const;
    void align(glm::vec3 forward, glm::vec3 direction, float dt);
    void drag(kit::RigidBody& body, float dt);
    void turn(kit::Transform& transform, float dt) const;
    void ramming(bool speeding);
    void spinPropeller(glm::vec3 forward, float dt) const;
    void ram(float ramDamage);
    // Stops a dash now, wherever it stood: the normal mass, no trail.
    void endDash(kit::Body& body);
    // Takes another copy's record of this plane.
    void applyRecord(float turning, float dash, bool on, glm::vec3 stick, std::optional<float> speedBefore,
                     std::optional<std::uint32_t> count);
};

} // namespace skyscuffle
