#pragma once

#include "game/ai/Decision.h"

#include "engine/core/EntityHandle.h"

namespace skyscuffle {

class ArtificialIntelligence;

// The plane's last attacker is close: it becomes the threat to get away from.
class FindDamager : public Decision {
public:
    FindDamager(kit::EntityHandle plane, ArtificialIntelligence* ai) : plane(plane), ai(ai) {}
    bool test() override;

    kit::EntityHandle plane;
    ArtificialIntelligence* ai;
};

} // namespace skyscuffle
