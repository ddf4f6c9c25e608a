#include "RigidBody.h"

#include "Collider.h"
#include "RigidBodySystem.h"
#include "Transform.h"

#include "engine/core/Finite.h"
#include "engine/core/World.h"

#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>

namespace kit {
namespace {

// The share of a push that the other body takes: this body's mass over both.
// A mass that is not a positive number counts as none and one beyond any
// sane mass as that much, so the share is never 0/0 or inf/inf.
float pushShare(float self, float other)
{
    auto sane = [](float m) { return m > 0.0f ? std::min(m, 1e30f) : 0.0f; };
    const float a = sane(self);
    const float total = a + sane(other);
    return total > 0.0f ? a / total : 0.5f;
}

} // namespace

RigidBody::RigidBody(bool isStatic, glm::vec3 velocity, const std::vector<TagId>& extraTags, float mass,
                     float restitution)
    : Body(velocity, mass), restitution(restitution), isStatic(isStatic ? 1.0f : 0.0f)
{
    addClassTags<RigidBody>("rigidBody");
    collisionTags.insert(extraTags.begin(), extraTags.end());
    collisionTags.insert(tagId("transform"));
    collisionTags.insert(tagId("collider"));
    collisionTags.insert(tagId("rigidBody"));
}

void RigidBody::initialize()
{
    if (!world->single<RigidBodySystem>())
        world->addComponent(EntityHandle{world->systemEntity(), world}, new RigidBodySystem);
}

void RigidBody::update(float dt)
{
    Transform* self = world->getComponent<Transform>(entityId);
    integrate(dt, self);
    if (isStatic != 0.0f || !self)
        return;
    resolve(*self);
}

namespace {

// A contact goes on a body's list once a frame: with another copy's body
// only this copy's share of the overlap is taken, so both bodies of the pair
// still find it when they look.
void tell(std::vector<Contact>& list, const Contact& contact)
{
    if (std::none_of(list.begin(), list.end(), [&](const Contact& c) { return c.other.id == contact.other.id; }))
        list.push_back(contact);
}

} // namespace

bool RigidBody::followsOwner(EntityID id) const
{
    return !world->owns(id) && world->getComponent(id, tagId("followsState")) != nullptr;
}

void RigidBody::resolve(Transform& self)
{
    Collider* collider = world->getComponent<Collider>(entityId);
    if (!collider)
        return;

    EntityCollection* others = world->getEntityCollection(collisionTags);
    for (auto it = others->begin(); it != others->end(); ++it) {
        const EntityHandle other = *it;
        if (other.id == entityId)
            continue;
        Transform* otherTransform = nullptr;
        const glm::vec2 m = collider->collideWithEntity(other.id, &self, otherTransform);
        if ((m.x == 0.0f && m.y == 0.0f) || !finite(m))
            continue;
        RigidBody* body = world->getComponent<RigidBody>(other.id);
        if (!body)
            continue;

        // Share of the push the other body takes: by mass, none when it is static.
        const float r = body->isStatic == 0.0f ? pushShare(mass, body->mass) : 0.0f;
        // Another copy's body that follows its owner's records (a glide) is
        // moved by them between walls: its share of a contact with a moving
        // body is its owner's to take.
        if (body->isStatic == 0.0f && followsOwner(entityId)) {
            tell(contacts, Contact{m, other});
            tell(body->contacts, Contact{-m, getEntity()});
            continue;
        }
        const bool movesOther = !followsOwner(other.id);
        // Finite inputs can still overflow (huge masses, speeds or
        // distances): each change is made only if its result is finite, so a
        // body never turns another non-finite.
        const glm::vec3 selfMoved(self.position.x + m.x * (1.0f - r), self.position.y + m.y * (1.0f - r),
                                  self.position.z);
        const glm::vec3 otherMoved(otherTransform->position.x - m.x * r, otherTransform->position.y - m.y * r,
                                   otherTransform->position.z);
        if (finite(selfMoved) && finite(otherMoved)) {
            self.position = selfMoved;
            if (movesOther)
                otherTransform->position = otherMoved;
        }

        // Exchange momentum along the normal only while the two approach; a
        // restitution of 0 removes the approach speed, 1 reverses it.
        const glm::vec2 n = m / glm::length(m);
        const float s = glm::dot(glm::vec2(body->velocity) - glm::vec2(velocity), n);
        if (s > 0.0f) {
            const float k = restitution * body->restitution + 1.0f;
            const glm::vec2 impulse = n * s * k;
            const glm::vec2 selfVelocity = glm::vec2(velocity) + impulse * (1.0f - r);
            const glm::vec2 otherVelocity = glm::vec2(body->velocity) - impulse * r;
            if (finite(selfVelocity) && finite(otherVelocity)) {
                velocity.x = selfVelocity.x;
                velocity.y = selfVelocity.y;
                if (movesOther) {
                    body->velocity.x = otherVelocity.x;
                    body->velocity.y = otherVelocity.y;
                }
            }
        }

        tell(contacts, Contact{m, other});
        tell(body->contacts, Contact{-m, getEntity()});
    }
}

bool RigidBody::meetStatic(Transform& pose, glm::vec3& velocity)
{
    Collider* collider = world ? world->getComponent<Collider>(entityId) : nullptr;
    if (!collider)
        return false;
    bool met = false;
    EntityCollection* others = world->getEntityCollection(collisionTags);
    for (auto it = others->begin(); it != others->end(); ++it) {
        const EntityHandle other = *it;
        const RigidBody* body = other.id == entityId ? nullptr : world->getComponent<RigidBody>(other.id);
        if (!body || body->isStatic == 0.0f)
            continue;
        Transform* otherTransform = nullptr;
        const glm::vec2 m = collider->collideWithEntity(other.id, &pose, otherTransform);
        if ((m.x == 0.0f && m.y == 0.0f) || !finite(m))
            continue;
        met = true;
        pose.position.x += m.x;
        pose.position.y += m.y;
        const glm::vec2 n = m / glm::length(m);
        const float approach = -glm::dot(glm::vec2(velocity), n);
        if (approach > 0.0f) {
            const glm::vec2 bounced = glm::vec2(velocity) + n * approach * (restitution * body->restitution + 1.0f);
            if (finite(bounced)) {
                velocity.x = bounced.x;
                velocity.y = bounced.y;
            }
        }
    }
    return met;
}

} // namespace kit
