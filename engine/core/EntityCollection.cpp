#include "EntityCollection.h"

#include "Component.h"
#include "World.h"

namespace kit {

EntityCollection::EntityCollection(World& world, const TagSet& tags) : world_(world), tags_(tags)
{
    for (const EntityID& id : world_.entities) {
        if (hasEveryTag(id))
            items_.insert(EntityHandle{id, &world_});
    }
    connections_.reserve(tags_.size() * 2);
    for (TagId tag : tags_) {
        connections_.emplace_back(world_.onComponentAdded(tag, [this](Component* c) { onAdded(c); }));
        connections_.emplace_back(world_.onComponentRemoved(tag, [this](Component* c) { onRemoved(c); }));
    }
}

bool EntityCollection::hasEveryTag(EntityID id) const
{
    for (TagId tag : tags_) {
        if (!world_.entityHasTag(id, tag))
            return false;
    }
    return true;
}

void EntityCollection::onAdded(Component* c)
{
    if (!contains(c->entityId) && hasEveryTag(c->entityId))
        items_.insert(EntityHandle{c->entityId, &world_});
}

void EntityCollection::onRemoved(Component* c)
{
    if (contains(c->entityId) && !hasEveryTag(c->entityId))
        items_.erase(EntityHandle{c->entityId, &world_});
}

} // namespace kit
