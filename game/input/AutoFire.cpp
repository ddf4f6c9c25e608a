#include "AutoFire.h"

#include "VirtualGamepad.h"

#include "engine/core/World.h"

namespace skyscuffle {

AutoFire::AutoFire()
{
    addClassTags<AutoFire>("autoFire");
    // After the network system (-10) and before the weapons (0 and later).
    setUpdatePriority(-1.0f);
}

void AutoFire::update(float)
{
    const auto* gamepad = world->getComponent<VirtualGamepad>(entityId);
    const bool held = gamepad && gamepad->isButtonHeld(VirtualGamepad::gun);
    on_ = gamepad && gamepad->autoFire();
    if (!on_)
        firing_ = true; // turned on again, it fires at once
    else if (held && !wasHeld_)
        firing_ = !firing_;
    wasHeld_ = held;
}

} // namespace skyscuffle
