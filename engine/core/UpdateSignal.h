#pragma once

#include "Behavior.h"
#include "Signal.h"

#include <functional>
#include <memory>

namespace kit {

// A per-frame callback for a world that needs one without a class of its own.
// The callback may remove and delete the signal's own component (a check that
// runs until it has done its work): the signal outlives its component for the
// rest of the call.
class UpdateSignal : public Behavior {
public:
    using Callback = std::function<void(Component* self, float dt)>;
    using Channel = Signal<void(Component*, float)>;

    explicit UpdateSignal(Callback callback);

    void update(float dt) override;

    std::shared_ptr<Channel> signal = std::make_shared<Channel>();
};

} // namespace kit
