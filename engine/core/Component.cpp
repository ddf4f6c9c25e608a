#include "Component.h"

#include "World.h"

#include <functional>

namespace kit {
namespace {

bool compareByPriority(float pa, float pb, const Component* a, const Component* b)
{
    if (pa != pb)
        return pa < pb;
    if (a->entityId != b->entityId)
        return a->entityId < b->entityId;
    return std::less<const Component*>{}(a, b);
}

} // namespace

bool Component::CompareByUpdatePriority::operator()(const Component* a, const Component* b) const
{
    return compareByPriority(a->updatePriority(), b->updatePriority(), a, b);
}

bool Component::CompareByRenderPriority::operator()(const Component* a, const Component* b) const
{
    return compareByPriority(a->renderPriority(), b->renderPriority(), a, b);
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
