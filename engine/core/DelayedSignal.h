#pragma once

#include "AliveFlag.h"
#include "Behavior.h"
#include "Signal.h"

#include <functional>
#include <memory>

namespace kit {

// Fires once, in the first update in which more than `delay` seconds have
// passed since it was added, then removes and deletes itself. The callback may
// destroy the component itself (with its entity, or its world's contents).
class DelayedSignal : public Behavior {
public:
    using Callback = std::function<void(Component* self)>;
    using Channel = Signal<void(Component*)>;

    DelayedSignal(Callback callback, float delay);

    void update(float dt) override;

    std::shared_ptr<Channel> signal = std::make_shared<Channel>();
    float delay;
    float remaining;

private:
    AliveFlag alive_;
};

} // namespace kit
