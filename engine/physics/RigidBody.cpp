#include "RigidBody.h"

#include "Collider.h"
#include "RigidBodySystem.h"
#include "Transform.h"

#include "engine/core/World.h"

#include <glm/geometric.hpp>

namespace kit {

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
    const EntityID system = world->systemEntity();
    if (!world->getComponent(system, tagId("rigidBodySystem")))
        world->addComponent(EntityHandle{system, world}, new RigidBodySystem);
}

void RigidBody::update(float dt)
{
    Transform* self = world->getComponent<Transform>(entityId);
    integrate(dt, self);
    if (isStatic != 0.0f || !self)
        return;
    resolve(*self);
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
        if (m.x == 0.0f && m.y == 0.0f)
            continue;
        RigidBody* body = world->getComponent<RigidBody>(other.id);
        if (!body)
            continue;

        // Share of the push the other body takes: by mass, none when it is static.
        float r = 0.0f;
        if (body->isStatic == 0.0f) {
            const float total = body->mass + mass;
            r = total > 0.0f ? mass / total : 0.5f;
        }
        self.position.x += m.x * (1.0f - r);
        self.position.y += m.y * (1.0f - r);
        otherTransform->position.x -= m.x * r;
        otherTransform->position.y -= m.y * r;

        // Exchange momentum along the normal only while the two approach; a
        // restitution of 0 removes the approach speed, 1 reverses it.
        const glm::vec2 n = m / glm::length(m);
        const float s = glm::dot(glm::vec2(body->velocity) - glm::vec2(velocity), n);
        if (s > 0.0f) {
            const float k = restitution * body->restitution + 1.0f;
            const glm::vec2 impulse = n * s * k;
            velocity.x += impulse.x * (1.0f - r);
            velocity.y += impulse.y * (1.0f - r);
            body->velocity.x -= impulse.x * r;
            body->velocity.y -= impulse.y * r;
        }

        contacts.push_back(Contact{m, other});
        body->contacts.push_back(Contact{-m, getEntity()});
    }
}

} // namespace kit
