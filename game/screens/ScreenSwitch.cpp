#include "ScreenSwitch.h"

#include "engine/core/application/Application.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/network/NetworkSystem.h"

#include <memory>

namespace skyscuffle {

namespace screens {

void switchTo(kit::World* world, kit::World::SetupFunction setup)
{
    if (world && world->owner)
        world->owner->setWorld(std::make_shared<kit::World>(std::move(setup)));
}

void endSession(kit::World* world)
{
    if (kit::NetworkSystem* network = kit::NetworkSystem::of(world))
        network->reset();
    if (auto* discovery = world->single<kit::LANDiscoverySystem>()) {
        discovery->hosting = false;
        discovery->announceNow = true;
    }
}

} // namespace screens

} // namespace skyscuffle
