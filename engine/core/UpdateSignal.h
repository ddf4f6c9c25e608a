#pragma once

#include "Behavior.h"
#include "Signal.h"

#include <functional>

namespace kit {

// A per-frame callback for a world that needs one without a class of its own.
class UpdateSignal : public Behavior {
public:
    using Callback = std::function<void(Component* self, float dt)>;

    explicit UpdateSignal(Callback callback);

    void update(float dt) override { signal(this, dt); }

    Signal<void(Component*, float)> signal;
};

} // namespace kit
