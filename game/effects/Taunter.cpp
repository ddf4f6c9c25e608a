#include "Taunter.h"

#include "game/effects/Taunts.h"

#include "game/effects/Taunts.h"
#include "game/input/VirtualGamepad.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

namespace skyscuffle {

Taunter::Taunter()
{
    addClassTags<Taunter>("taunter");
}

void Taunter::update(float)
{
    const auto* gamepad = world->getComponent<VirtualGamepad>(entityId);
    if (!gamepad)
        return; // another copy's plane: its own copy taunts for it
    for (int i = 0; i < 4; ++i) {
        const bool down = gamepad->isButtonDown(VirtualGamepad::taunt + i);
        if (down && !wasDown[i]) {
            if (auto* network = kit::NetworkSystem::of(world))
                network->callFunction(fn::spawnTaunt, getEntity(), tauntText(i + 1));
        }
        wasDown[i] = down;
    }
}

} // namespace skyscuffle
