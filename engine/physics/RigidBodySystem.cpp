#include "RigidBodySystem.h"

#include "RigidBody.h"

#include "engine/core/World.h"

namespace kit {

RigidBodySystem::RigidBodySystem()
{
    addClassTags<RigidBodySystem>("rigidBodySystem");
    setUpdatePriority(100.0f);
}

void RigidBodySystem::initialize()
{
    bodies_ = world->getComponentCollection(tagId("rigidBody"));
}

void RigidBodySystem::update(float)
{
    if (!bodies_)
        return;
    for (auto it = bodies_->begin(); it != bodies_->end(); ++it) {
        if (auto* body = dynamic_cast<RigidBody*>(*it))
            body->contacts.clear();
    }
}

} // namespace kit
