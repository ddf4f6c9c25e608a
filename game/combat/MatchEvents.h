#pragma once

#include "engine/core/EntityHandle.h"
#include "engine/core/Signal.h"

namespace skyscuffle {

// What happens in a match, for whoever wants to count it (the match
// simulator's statistics). Main thread only.
struct MatchEvents {
    // A plane took damage: victim, attacker, amount (after the checks: a
    // dead or shielded plane takes none and reports none).
    static kit::Signal<void(kit::EntityHandle, kit::EntityHandle, float)>& damaged()
    {
        static kit::Signal<void(kit::EntityHandle, kit::EntityHandle, float)> signal;
        return signal;
    }
    // A kill was scored for a plane (it gained its points).
    static kit::Signal<void(kit::EntityHandle)>& killScored()
    {
        static kit::Signal<void(kit::EntityHandle)> signal;
        return signal;
    }
    // A death of a plane was scored (it lost its point).
    static kit::Signal<void(kit::EntityHandle)>& deathScored()
    {
        static kit::Signal<void(kit::EntityHandle)> signal;
        return signal;
    }
};

} // namespace skyscuffle
