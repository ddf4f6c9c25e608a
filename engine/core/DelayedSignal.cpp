#include "DelayedSignal.h"

#include "World.h"

namespace kit {

DelayedSignal::DelayedSignal(Callback callback, float delay) : delay(delay), remaining(delay)
{
    addTag(typeId<DelayedSignal>());
    signal.connect(std::move(callback));
}

void DelayedSignal::update(float dt)
{
    remaining -= dt;
    if (remaining >= 0.0f)
        return;
    const std::shared_ptr<bool> alive = alive_;
    signal(this);
    // The callback may already have destroyed this component (with its entity).
    if (*alive && world)
        delete world->removeComponent(this);
}

} // namespace kit
