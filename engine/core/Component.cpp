#include "Component.h"

#include "World.h"

namespace kit {

std::uint64_t Component::nextCreationOrder()
{
    static std::uint64_t made = 0;
    return ++made;
}

bool Component::CompareByUpdatePriority::operator()(const Component* a, const Component* b) const
{
    if (a->updatePriority_ != b->updatePriority_)
        return a->updatePriority_ < b->updatePriority_;
    if (a->entityId != b->entityId)
        return a->entityId < b->entityId;
    return a->creationOrder_ < b->creationOrder_;
}

bool Component::CompareByRenderPriority::operator()(const Component* a, const Component* b) const
{
    if (a->renderPriority_ != b->renderPriority_)
        return a->renderPriority_ < b->renderPriority_;
    if (a->entityId != b->entityId)
        return a->entityId < b->entityId;
    return a->creationOrder_ < b->creationOrder_;
}


void Component::setUpdatePriority(float priority)
{
    if (world)
        world->changePriority(this, &Component::updatePriority_, priority);
    else
        updatePriority_ = priority;
}

void Component::setRenderPriority(float priority)
{
    if (world)
        world->changePriority(this, &Component::renderPriority_, priority);
    else
        renderPriority_ = priority;
}

} // namespace kit
