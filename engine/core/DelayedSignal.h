#pragma once

#include "Behavior.h"
#include "Signal.h"

#include <functional>
#include <memory>

namespace kit {

// Fires once, in the first update in which more than `delay` seconds have
// passed since it was added, then removes and deletes itself.
class DelayedSignal : public Behavior {
public:
    using Callback = std::function<void(Component* self)>;

    DelayedSignal(Callback callback, float delay);
    ~DelayedSignal() override { *alive_ = false; }

    void update(float dt) override;

    Signal<void(Component*)> signal;
    float delay;
    float remaining;

private:
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true); // cleared by the destructor
};

} // namespace kit
