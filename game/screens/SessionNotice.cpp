#include "SessionNotice.h"

#include "game/screens/ScreenScene.h"

#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"
#include "engine/network/HostMigration.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/network/NetworkSystem.h"

#include <cstdio>

namespace skyscuffle {

std::string sessionNoticeLine(const kit::NetworkSystem& network)
{
    const kit::HostMigration& session = network.migration();
    if (session.seeking())
        return "The host has gone: looking for the next one";
    switch (session.outcome()) {
    case kit::HostMigration::Outcome::none:
        break;
    case kit::HostMigration::Outcome::alone:
        return "The host has gone: you host your own games now";
    case kit::HostMigration::Outcome::hostsSession:
        return "The host has gone: you host the session now";
    case kit::HostMigration::Outcome::joinedNextHost: {
        char line[64];
        std::snprintf(line, sizeof line, "The host has gone: copy %08x hosts now", session.host());
        return line;
    }
    }
    return "";
}

void showSessionNotice(kit::World* world, glm::vec2 at)
{
    kit::Text* line = screens::addText(world, "", at, 0.05f, glm::vec3(1.0f, 0.7f, 0.35f));
    auto refresh = [world, line] {
        kit::NetworkSystem* network = kit::NetworkSystem::of(world);
        if (!network)
            return;
        screens::setText(line, sessionNoticeLine(*network));
        auto* discovery = world->getComponent<kit::LANDiscoverySystem>(world->systemEntity());
        const bool hosting = network->isServer && network->peer && network->peer->isActive();
        if (discovery && discovery->hosting != hosting) {
            discovery->hosting = hosting;
            discovery->announceNow = true;
        }
    };
    refresh();
    world->emplaceComponent<kit::UpdateSignal>(world->createEntity(), [refresh](kit::Component*, float) { refresh(); });
}

} // namespace skyscuffle
