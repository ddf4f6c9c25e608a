#include "PlanePhysics.h"

#include "FlightSettings.h"

#include "game/combat/Health.h"
#include "game/common/GameMath.h"
#include "game/effects/Bursts.h"
#include "game/effects/DashEffects.h"
#include "game/input/VirtualGamepad.h"
#include "game/players/PlayerInfo.h"
#include "game/powerups/SpeedPower.h"
#include "game/sound/SoundManager.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/stream/CompactState.h"
#include "engine/network/stream/NetStream.h"
#include "engine/network/stream/Received.h"
#include "engine/physics/ConstantRotation.h"
#include "engine/physics/Gravity.h"
#include "engine/physics/RigidBody.h"
#include "engine/physics/Transform.h"

#include <glm/geometric.hpp>
#include <glm/gtc/quaternion.hpp>

#include <algorithm>
#include <cmath>

namespace skyscuffle {

PlanePhysics::PlanePhysics(kit::EntityHandle propeller) : propeller(propeller)
{
    addClassTags<PlanePhysics>("planePhysics");
}

void PlanePhysics::update(float dt)
{
    clock += dt;
    auto* body = world->getComponent<kit::RigidBody>(entityId);
    auto* transform = world->getComponent<kit::Transform>(entityId);
    if (!body || !transform)
        return;
    // A wreck only falls: a dash it died in ends now, its mass and trail with
    // it, and no new one starts. The death is replicated, so every copy ends
    // the dash alike; the respawn finds no dash left to finish.
    if (const auto* health = world->getComponent<Health>(entityId); health && health->isDead()) {
        endDash(*body);
        return;
    }
    const auto* speedPower = world->getComponent<SpeedPower>(entityId);
    // The nose, and its normal in the play plane (the nose turned a quarter counter-clockwise).
    const glm::vec3 forward = transform->rotation * glm::vec3(0.0f, 0.0f, 1.0f);
    const glm::vec3 normal(-forward.y, forward.x, 0.0f);
    // Where the plane was going before anything below changes it.
    const glm::vec3 direction =
        glm::dot(body->velocity, body->velocity) > 0.001f ? glm::normalize(body->velocity) : glm::vec3(0.0f);

    readStick(*body, *transform, forward);
    runDash(*body, direction, dt);
    thrust(*body, forward, speedPower ? speedPower->multiplier : 1.0f, dt);
    lift(*body, forward, normal, dt);
    align(forward, direction, dt);
    drag(*body, dt);
    turn(*transform, dt);
    ramming(speedPower != nullptr);
    spinPropeller(forward, dt);
}

void PlanePhysics::readStick(kit::RigidBody& body, kit::Transform& transform, glm::vec3 forward)
{
    // The stick, and a dash when button 0 asks for one and it is allowed.
    const auto* gamepad = world->getComponent<VirtualGamepad>(entityId);
    if (!gamepad)
        return;
    steer = glm::vec3(gamepad->direction(), 0.0f);
    if (dashCooldown <= 0.0f && gamepad->isButtonDown(VirtualGamepad::dash)) {
        dashCooldown = flightSettings::dashCooldownDuration.value();
        dashTimer = flightSettings::dashDuration.value();
        dashDirection = glm::dot(steer, steer) > 0.1f ? glm::normalize(steer) : forward;
        transform.rotation = shortestArc(forward, dashDirection) * transform.rotation;
        const float speed = glm::length(body.velocity);
        body.velocity = dashDirection * (speed + flightSettings::dashSpeed.value());
        speedBeforeDash = std::max(speed, flightSettings::acceleration.value());
        body.mass = flightSettings::dashMass.value();
        ramHistory.clear();
        ++dashCount;
        // The other copies cannot see a dash coming: they hear of it at once.
        if (kit::NetworkSystem* network = kit::NetworkSystem::of(world); network && glides())
            network->stateSoon = true;
    }
}

void PlanePhysics::runDash(kit::RigidBody& body, glm::vec3 direction, float dt)
{
    // The trail and the sound start with the dash, the speed and the mass go
    // back when it ends (one frame later the trail stops). Another copy's
    // plane ends its dash here too, cut back to the owner's speedBeforeDash,
    // so that it flies on as the owner's does until the next record.
    if (dashTimer > 0.0f) {
        dashTimer -= dt;
        if (!isDashing)
            startDashEffects(getEntity());
        isDashing = true;
        if (dashTimer <= 0.0f) {
            if (glm::length(body.velocity) > speedBeforeDash)
                body.velocity = direction * speedBeforeDash;
            body.mass = flightSettings::mass.value();
        }
    } else if (isDashing) {
        endDashEffects(getEntity());
        isDashing = false;
    }
    // The cooldown runs during the dash too.
    if (dashCooldown > 0.0f)
        dashCooldown -= dt;
}

void PlanePhysics::thrust(kit::RigidBody& body, glm::vec3 forward, float speedMultiplier, float dt)
{
    if (steer == glm::vec3(0.0f))
        return;
    float turn = std::clamp(2.0f * (steer.x * forward.y - steer.y * forward.x), -1.0f, 1.0f);
    if (glm::dot(steer, forward) < 0.0f)
        turn = turn > 0.0f ? 1.0f : -1.0f; // behind the nose: turn hard (straight back: counter-clockwise)
    angularVelocity += glm::length(steer) * turn * flightSettings::turnPower.value() * dt;
    float throttle = std::max(glm::dot(steer, forward), -0.1f);
    if (glm::dot(forward, body.velocity) < 0.0f)
        throttle *= 2.0f; // flying tail first
    throttle *= speedMultiplier;
    body.deltaVelocity += forward * throttle * flightSettings::acceleration.value() * dt;
}

void PlanePhysics::lift(kit::RigidBody& body, glm::vec3 forward, glm::vec3 normal, float dt) const
{
    // Cancels motion across the nose, less when the stick pulls against it.
    const float k = std::clamp(glm::dot(steer, forward) + 2.0f - 3.0f * flightSettings::drift.value(), 0.0f, 1.0f);
    const glm::vec3 v = body.velocity;
    glm::vec3 force = -glm::dot(normal, v) * normal * glm::length(v) * flightSettings::liftPower.value();
    if (glm::dot(force, force) > 62500.0f)
        force = glm::normalize(force) * 250.0f;
    body.deltaVelocity += k * force * dt;
}

void PlanePhysics::align(glm::vec3 forward, glm::vec3 direction, float dt)
{
    // Turns the nose toward the flight (away from it flying tail first).
    angularVelocity += glm::dot(forward, direction) * (forward.y * direction.x - forward.x * direction.y) *
                       flightSettings::alignmentForce.value() * dt;
}

void PlanePhysics::drag(kit::RigidBody& body, float dt)
{
    angularVelocity *=
        static_cast<float>(std::pow(1.0 - static_cast<double>(flightSettings::angularDrag.value()), double(dt)));
    body.deltaVelocity -=
        body.velocity * (1.0f - static_cast<float>(std::pow(1.0 - double(flightSettings::drag.value()), double(dt))));
}

void PlanePhysics::turn(kit::Transform& transform, float dt) const
{
    // Clockwise seen by the camera is about -Z.
    const float theta = angularVelocity * dt;
    transform.rotation =
        glm::normalize(glm::quat(std::cos(theta * 0.5f), 0.0f, 0.0f, -std::sin(theta * 0.5f)) * transform.rotation);
}

void PlanePhysics::ramming(bool speeding)
{
    // Old rams are forgotten.
    while (!ramHistory.empty() && clock >= ramHistory.front().time + flightSettings::ramRepeatDelay.value())
        ramHistory.pop_front();
    if (isDashing || speeding)
        ram((isDashing ? flightSettings::ramDamage.value() : 0.0f) +
            (speeding ? flightSettings::ramDamage.value() : 0.0f));
}

void PlanePhysics::spinPropeller(glm::vec3 forward, float dt) const
{
    // The spin follows the throttle.
    auto* spin = world->getComponent<kit::ConstantRotation>(propeller.id);
    if (!spin)
        return;
    const float target = 32.0f * glm::dot(steer, forward);
    const float step = 32.0f * dt;
    if (spin->speed < target)
        spin->speed = std::min(spin->speed + step, target);
    else if (spin->speed > target)
        spin->speed = std::max(spin->speed - step, target);
}

void PlanePhysics::ram(float ramDamage)
{
    const auto* body = world->getComponent<kit::RigidBody>(entityId);
    const auto* own = world->getComponent<kit::Transform>(entityId);
    if (!body || !own)
        return;
    // By index and looked up again: damage may change the world (a death adds emitters).
    for (std::size_t i = 0; i < body->contacts.size(); ++i) {
        const kit::EntityHandle victim = body->contacts[i].other;
        auto* health = world->getComponent<Health>(victim.id);
        if (!health)
            continue;
        const bool known =
            std::any_of(ramHistory.begin(), ramHistory.end(), [&](const Ram& r) { return r.victim == victim.id; });
        if (known)
            continue;
        const auto* other = world->getComponent<kit::Transform>(victim.id);
        const glm::vec3 at = other ? (own->position + other->position) * 0.5f : own->position;
        const float speed = glm::length(body->velocity);
        const glm::vec3 back = speed > 1e-6f ? -body->velocity / speed : glm::vec3(0.0f);
        const auto* info = world->getComponent<PlayerInfo>(victim.id);
        impactBurst(*world, at, back, info ? info->colour : glm::vec3(1.0f));
        if (SoundManager* sounds = SoundManager::of(world))
            sounds->play("impact");
        // Every copy shows the ram; the victim's own copy takes the damage.
        if (world->owns(victim.id))
            health->damage(getEntity(), ramDamage);
        ramHistory.push_back(Ram{clock, victim.id, world});
        kit::log::info() << "Ram!!!";
        body = world->getComponent<kit::RigidBody>(entityId);
        own = world->getComponent<kit::Transform>(entityId);
        if (!body || !own)
            return;
    }
}

void PlanePhysics::endDash(kit::Body& body)
{
    if (dashTimer > 0.0f || isDashing)
        body.mass = flightSettings::mass.value();
    dashTimer = std::min(dashTimer, 0.0f);
    if (isDashing) {
        endDashEffects(getEntity());
        isDashing = false;
    }
}

namespace {

// How the flight's state travels packed: the turn in 1/512ths of a radian a
// second, the dash's timer in 1/1024ths of a second (usually 0), the stick in
// 1/1024ths, the speed before a dash in 1/32nds of a unit a second.
const kit::compactState::Registration packedPlanePhysics{
    3,
    {"planePhysics",
     {kit::compactState::Field::real(512.0f, 16), kit::compactState::Field::real(1024.0f, 16),
      kit::compactState::Field::flag(), kit::compactState::Field::real(1024.0f, 12),
      kit::compactState::Field::real(1024.0f, 12), kit::compactState::Field::real(1024.0f, 12),
      kit::compactState::Field::real(32.0f, 17), kit::compactState::Field::count()}}};

} // namespace

void PlanePhysics::serialize(kit::NetStream& stream)
{
    if (stream.writing) {
        stream.serialize(angularVelocity);
        stream.serialize(dashTimer);
        stream.serialize(enabled);
        stream.serialize(steer);
        stream.serialize(speedBeforeDash);
        stream.serialize(dashCount);
        return;
    }
    // A broken record (short, not a number, or out of all proportion)
    // changes nothing.
    constexpr float fastestTurn = 1000.0f; // radians per second
    constexpr float longestDash = 60.0f;   // seconds
    if (stream.bitsLeft() < 32 + 32 + 1 + 3 * 32)
        return;
    float turning = angularVelocity, dash = dashTimer;
    bool on = enabled;
    glm::vec3 stick = steer;
    stream.serialize(turning);
    stream.serialize(dash);
    stream.serialize(on);
    stream.serialize(stick);
    float speedBefore = 0.0f;
    std::uint32_t count = 0;
    const bool saysWhichDash = stream.read(speedBefore) && stream.read(count);
    if (!kit::received::within(turning, fastestTurn) || !kit::received::within(dash, longestDash) ||
        !kit::received::finite(stick) || !kit::received::within(speedBefore, kit::received::limit))
        return;
    applyRecord(turning, dash, on, stick, saysWhichDash ? std::optional(speedBefore) : std::nullopt,
                saysWhichDash ? std::optional(count) : std::nullopt);
}

namespace {

// The pull of every gravity of the world that pulls this entity's body.
glm::vec3 gravityOn(kit::World& world, kit::EntityID entity)
{
    glm::vec3 pull(0.0f);
    kit::ComponentCollection* all = world.getComponentCollection(kit::typeId<kit::Gravity>());
    if (!all)
        return pull;
    for (auto it = all->begin(); it != all->end(); ++it) {
        const auto* gravity = static_cast<const kit::Gravity*>(*it);
        if (std::all_of(gravity->requiredTags.begin(), gravity->requiredTags.end(),
                        [&](kit::TagId tag) { return world.getComponent(entity, tag) != nullptr; }))
            pull += gravity->acceleration;
    }
    return pull;
}

} // namespace

bool PlanePhysics::glides()
{
    return flightSettings::glide.value() != 0;
}

void PlanePhysics::carryForward(glm::vec3& position, glm::quat& rotation, glm::vec3& velocity, float seconds)
{
    if (!(seconds > 0.0f) || !world)
        return;
    const auto* speedPower = world->getComponent<SpeedPower>(entityId);
    const glm::vec3 fall = gravityOn(*world, entityId);
    kit::RigidBody body(false, velocity, {}, 1.0f, 0.5f);
    kit::Transform pose(position, glm::vec3(1.0f), rotation);
    float dash = dashTimer;
    auto* own = world->getComponent<kit::RigidBody>(entityId);
    for (float left = seconds; left > 0.0f;) {
        const float dt = std::min(left, carryStep);
        left -= dt;
        const glm::vec3 forward = pose.rotation * glm::vec3(0.0f, 0.0f, 1.0f);
        const glm::vec3 normal(-forward.y, forward.x, 0.0f);
        const glm::vec3 direction =
            glm::dot(body.velocity, body.velocity) > 0.001f ? glm::normalize(body.velocity) : glm::vec3(0.0f);
        if (enabled) {
            if (dash > 0.0f) {
                dash -= dt;
                if (dash <= 0.0f && glm::length(body.velocity) > speedBeforeDash)
                    body.velocity = direction * speedBeforeDash;
            }
            thrust(body, forward, speedPower ? speedPower->multiplier : 1.0f, dt);
            lift(body, forward, normal, dt);
            align(forward, direction, dt);
            drag(body, dt);
            turn(pose, dt);
        }
        body.deltaVelocity += fall * dt;
        pose.position += (body.deltaVelocity * 0.5f + body.velocity) * dt;
        body.velocity += body.deltaVelocity;
        body.deltaVelocity = glm::vec3(0.0f);
        if (own)
            own->meetStatic(pose, body.velocity); // the stage's walls bounce it as they do here
    }
    position = pose.position;
    rotation = pose.rotation;
    velocity = body.velocity;
    // The dash this copy shows is that much further on; one that is over by
    // now ends in the next update, as any dash ends.
    if (dashTimer > 0.0f)
        dashTimer = std::max(dash, dashEnding);
}

void PlanePhysics::applyRecord(float turning, float dash, bool on, glm::vec3 stick, std::optional<float> speedBefore,
                               std::optional<std::uint32_t> count)
{
    angularVelocity = turning;
    enabled = on;
    // The stick is at most a unit vector; anything longer is cut down.
    stick.z = 0.0f;
    steer = glm::length(stick) > 1.0f ? glm::normalize(stick) : stick;

    if (!count) {
        dashTimer = dash; // a sender that does not say which dash it is in
    } else if (*count != dashCount) {
        // A dash this copy has not shown yet (from its first record on, or
        // from a later one when the first were lost): it runs here from now.
        dashCount = *count;
        speedBeforeDash = std::max(*speedBefore, 0.0f);
        dashTimer = dash;
        ramHistory.clear();
    } else if (dashTimer > 0.0f) {
        dashTimer = dash; // the owner's clock of the dash this copy shows
    }
    // Otherwise the dash has ended here already: a record from its last
    // moments that was held up on the way longer than the one before it does
    // not start it again.

    // Switched off is a wreck (the owner's copy switches the flight off for
    // as long as the plane is one): a dash it died in ends here too, even if
    // this copy never ran a frame of the wreck's flight.
    if (!enabled && world)
        if (auto* body = world->getComponent<kit::Body>(entityId))
            endDash(*body);
}

} // namespace skyscuffle
