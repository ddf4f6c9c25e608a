#include "UpdateSignal.h"

namespace kit {

UpdateSignal::UpdateSignal(Callback callback)
{
    addClassTags<UpdateSignal>("updateSignal");
    signal->connect(std::move(callback));
}

void UpdateSignal::update(float dt)
{
    // Held for the call: a callback that deletes this component must not
    // delete the signal it is running in. Nothing of `this` is read afterwards.
    const std::shared_ptr<Channel> running = signal;
    (*running)(this, dt);
}

} // namespace kit
