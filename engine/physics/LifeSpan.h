#pragma once

#include "engine/core/Behavior.h"

namespace kit {

// Destroys its entity once its lifetime (seconds) has run out.
class LifeSpan : public Behavior {
public:
    explicit LifeSpan(float lifetime);

    void update(float dt) override;

    float total;
    float remaining;
};

} // namespace kit
