#include "CollisionSignal.h"

#include "Collider.h"
#include "RigidBody.h"
#include "Transform.h"

#include "engine/core/World.h"

namespace kit {

CollisionSignal::CollisionSignal(const std::vector<TagId>& tags, Callback callback)
    : callback(std::make_shared<const Callback>(std::move(callback)))
{
    addClassTags<CollisionSignal>("collisionSignal");
    setUpdatePriority(103.0f);
    filterTags.insert(tags.begin(), tags.end());
    filterTags.insert(tagId("transform"));
    filterTags.insert(tagId("collider"));
}

CollisionSignal::CollisionSignal(TagId tag, Callback callback)
    : CollisionSignal(std::vector<TagId>{tag}, std::move(callback))
{
}

bool CollisionSignal::passesFilter(EntityID id) const
{
    // Contacts are held to the same test as the query below: every filter tag.
    for (TagId tag : filterTags) {
        if (!world->entityHasTag(id, tag))
            return false;
    }
    return true;
}

void CollisionSignal::update(float)
{
    Transform* transform = world->getComponent<Transform>(entityId);
    Collider* collider = world->getComponent<Collider>(entityId);
    if (!transform || !collider)
        return;

    // After every call: stop if the call said so or destroyed this signal.
    const std::shared_ptr<const bool> alive = alive_.watch();
    const std::shared_ptr<const Callback> call = callback;
    auto done = [&](EntityHandle other, glm::vec2 separation) { return (*call)(this, other, separation) || !*alive; };

    // Contacts the rigid body was resolved from this frame. Walked by index and
    // looked up again after each callback, which may change the body.
    for (std::size_t i = 0;; ++i) {
        RigidBody* body = world->getComponent<RigidBody>(entityId);
        if (!body || i >= body->contacts.size())
            break;
        const Contact contact = body->contacts[i];
        if (passesFilter(contact.other.id) && done(contact.other, contact.separation))
            return;
    }

    EntityCollection* others = world->getEntityCollection(filterTags);
    for (auto it = others->begin(); it != others->end(); ++it) {
        const EntityHandle other = *it;
        if (other.id == entityId)
            continue;
        Transform* otherTransform = nullptr;
        const glm::vec2 separation = collider->collideWithEntity(other.id, transform, otherTransform);
        if (separation.x == 0.0f && separation.y == 0.0f)
            continue;
        if (done(other, separation))
            return;
        // The callback may have changed this entity's components.
        transform = world->getComponent<Transform>(entityId);
        collider = world->getComponent<Collider>(entityId);
        if (!transform || !collider)
            return;
    }
}

} // namespace kit
