#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"

namespace skyscuffle {

// Keeps its entity at the position of another (a player's ping ring follows
// the plane). Goes away with its entity when the followed one is gone.
class TranslationChild : public kit::Behavior {
public:
    explicit TranslationChild(kit::EntityHandle followed);

    void update(float dt) override;

    kit::EntityHandle followed;
};

} // namespace skyscuffle
