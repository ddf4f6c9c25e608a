#include "Gravity.h"

#include "Body.h"

#include "engine/core/World.h"

namespace kit {

Gravity::Gravity(glm::vec3 acceleration, TagId tag) : acceleration(acceleration)
{
    addClassTags<Gravity>("gravity");
    requiredTags.insert(tag);
    requiredTags.insert(typeId<Body>());
}

void Gravity::update(float dt)
{
    EntityCollection* bodies = world->getEntityCollection(requiredTags);
    for (auto it = bodies->begin(); it != bodies->end(); ++it) {
        if (Body* body = world->getComponent<Body>((*it).id))
            body->deltaVelocity += acceleration * dt;
    }
}

} // namespace kit
