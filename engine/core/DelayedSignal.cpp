#include "DelayedSignal.h"

#include "World.h"

namespace kit {

DelayedSignal::DelayedSignal(Callback callback, float delay) : delay(delay), remaining(delay)
{
    addTag(typeId<DelayedSignal>());
    signal->connect(std::move(callback));
}

void DelayedSignal::update(float dt)
{
    remaining -= dt;
    if (remaining >= 0.0f)
        return;
    const std::shared_ptr<const bool> alive = alive_.watch();
    const std::shared_ptr<Channel> running = signal; // survives a callback that deletes this
    (*running)(this);
    if (*alive && world)
        delete world->removeComponent(this);
}

} // namespace kit
