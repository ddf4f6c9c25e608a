#include "Glide.h"

#include "Body.h"
#include "Transform.h"

#include "engine/core/World.h"
#include "engine/network/stream/CompactState.h"
#include "engine/network/stream/NetStream.h"

#include <cmath>

namespace kit {
namespace {

// The stamp travels as a count: a few bytes a record.
const compactState::Registration packedGlide{5, {"glide", {compactState::Field::count()}}};

} // namespace

Glide::Glide(GlideSettings settings) : correction_(settings)
{
    addClassTags<Glide>("glide");
    addTag(tagId("followsState"));
    setUpdatePriority(102.0f);
}

void Glide::update(float dt)
{
    if (std::isfinite(dt) && dt > 0.0f)
        clock_ += dt;
    if (!world || world->owns(entityId) || !glides)
        return;
    auto* transform = world->getComponent<Transform>(entityId);
    if (!transform)
        return;
    const GlideCorrection::Pose now = correction_.step({transform->position, transform->rotation}, dt);
    transform->position = now.position;
    transform->rotation = now.rotation;
    shown_ = now;
    shownKnown_ = true;
}

void Glide::serialize(NetStream& stream)
{
    if (stream.writing) {
        // Whole milliseconds; it comes round again after 49 days, which a
        // clock step handles. Another copy's entity: its owner's, as read.
        const bool own = !world || world->owns(entityId);
        const auto ms = own ? static_cast<std::uint32_t>(std::fmod(clock_ * 1000.0, 4294967296.0)) : stamp_;
        stream.write(ms);
        return;
    }
    std::uint32_t ms = 0;
    if (stream.bitsLeft() < 32 || !stream.read(ms))
        return;
    stamp_ = ms;
    stampFresh_ = true;
}

void Glide::stateArrived(float delay)
{
    if (!world || world->owns(entityId) || !glides)
        return;
    auto* transform = world->getComponent<Transform>(entityId);
    if (!transform || transform->recordsTaken == recordsSeen_)
        return;
    recordsSeen_ = transform->recordsTaken;
    auto* body = world->getComponent<Body>(entityId);
    GlideCorrection::Record record;
    record.pose = {transform->position, transform->rotation};
    record.velocity = body ? body->velocity : glm::vec3(0.0f);
    if (stampFresh_)
        record.stamp = stamp_ / 1000.0;
    stampFresh_ = false;
    record.arrival = clock_;
    record.delay = delay;
    const GlideCorrection::Pose from = shownKnown_ ? shown_ : record.pose;
    glm::vec3 velocity = record.velocity;
    const std::optional<GlideCorrection::Pose> now = correction_.receive(from, record, velocity, carry);
    const GlideCorrection::Pose show = now ? *now : from;
    if (now && body)
        body->velocity = velocity; // flying on as the owner's does by now
    transform->position = show.position;
    transform->rotation = show.rotation;
}

} // namespace kit
