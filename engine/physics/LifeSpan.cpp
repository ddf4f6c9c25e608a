#include "LifeSpan.h"

#include "engine/core/World.h"

namespace kit {

LifeSpan::LifeSpan(float lifetime) : total(lifetime), remaining(lifetime)
{
    addTag(typeId<LifeSpan>());
}

void LifeSpan::update(float dt)
{
    remaining -= dt;
    // Asked again every frame until the entity is gone; the world handles repeats.
    if (remaining < 0.0f)
        world->destroyEntity(getEntity());
}

} // namespace kit
