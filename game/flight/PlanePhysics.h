#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"

#include <glm/vec3.hpp>

#include <deque>
#include <string>

// Flies a plane from its virtual gamepad: the stick turns the nose and gives
// throttle, a side force swings the velocity toward the nose (the wings'
// lift), drag slows it, button 0 dashes (a burst of speed along the stick,
// heavier for the dash, ramming what it touches). Writes the plane's
// rotation and its body's velocity change; the body moves it. Runs on every
// copy: a remote plane turns and dashes from its replicated steering.
// Replicated as "planePhysics".
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
    void serialize(kit::NetStream& stream) override;
    std::string networkTypeName() const override { return "planePhysics"; }

    float angularVelocity = 0.0f; // rad/s, positive turns the nose clockwise as seen by the camera
    float dashTimer = 0.0f;       // seconds of dash left
    float dashCooldown = 0.0f;    // seconds until the next dash may start
    float speedBeforeDash = 0.0f;
    glm::vec3 dashDirection{0.0f};
    std::deque<Ram> ramHistory; // oldest first
    float clock = 0.0f;         // seconds of updates so far
    bool isDashing = false;
    glm::vec3 steer{0.0f};      // the stick of the last update, (x, y, 0)
    kit::EntityHandle propeller;

private:
    void ram(float ramDamage);
};
