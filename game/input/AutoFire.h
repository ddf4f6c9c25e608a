#pragma once

#include "engine/core/Behavior.h"

namespace skyscuffle {

class VirtualGamepad;

// Auto-fire for one plane, on the player's entity beside its gamepad in a
// match world (never carried to another: each match starts it afresh).
// While the gamepad's player chose auto-fire (VirtualGamepad::autoFire), the
// gun is down with nothing held, and each press of the gun button stops or
// starts it again: the press, not the holding, counts. A button already held
// when the plane is made (the join key is the fire key) counts once released
// and pressed again. Otherwise the gun is the button, as ever.
//
// The gamepad asks it (VirtualGamepad::flown), so that whatever reads the gun
// for flight, and so what the game sends, sees the same answer. Outside a
// match nothing carries it, and the gun is the button held: the join screen
// and the menus never see a gun, or a join, that nobody holds.
class AutoFire : public kit::Behavior {
public:
    AutoFire();

    // Reads the gun button once a frame, before the weapons.
    void update(float dt) override;

    // The gun for flight, given whether its button is held now.
    [[nodiscard]] bool gunDown(bool held) const { return on_ ? firing_ : held; }
    // Whether auto-fire is on for this plane now, and whether its gun fires.
    [[nodiscard]] bool on() const { return on_; }
    [[nodiscard]] bool firing() const { return firing_; }

private:
    bool on_ = false;
    bool firing_ = true;
    bool wasHeld_ = true; // so that a press must begin in the match to count
};

} // namespace skyscuffle
