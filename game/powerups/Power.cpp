#include "Power.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

namespace skyscuffle {

Power::Power()
{
    addClassTags<Power>("power");
}

void Power::endEverywhere(const std::string& typeName)
{
    if (ending_ || !world->owns(entityId))
        return;
    ending_ = true;
    if (kit::NetworkSystem* network = kit::NetworkSystem::of(world))
        network->callFunction(kit::destroyComponentFunction, getEntity(), typeName);
    else
        world->destroyComponents(entityId, kit::tagId(typeName));
}

} // namespace skyscuffle
