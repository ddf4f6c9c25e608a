#include "SessionNotice.h"

#include "game/screens/ScreenScene.h"

#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"
#include "engine/network/HostMigration.h"
#include "engine/network/InviteCode.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/PortMapping.h"
#include "engine/physics/Transform.h"

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

std::string internetNoticeLine(const kit::NetworkSystem& network)
{
    const kit::PortMapping* mapping = network.isServer ? network.portMapping() : nullptr;
    if (!mapping)
        return "";
    const std::string port = std::to_string(mapping->port());
    const kit::PortMapping::Status status = mapping->status();
    switch (status.outcome) {
    case kit::PortMapping::Outcome::asking:
        return "Asking the router to open UDP port " + port + "...";
    case kit::PortMapping::Outcome::mapped:
        return "Friends elsewhere: code " + kit::inviteCode::encode(status.external) + " (" +
               status.external.ipString() + ":" + std::to_string(status.external.port) + ")";
    case kit::PortMapping::Outcome::privateExternal:
        return "Two routers: forward UDP port " + port + " on both for friends";
    case kit::PortMapping::Outcome::noRouter:
    case kit::PortMapping::Outcome::refused:
        break;
    }
    return "For friends elsewhere, forward UDP port " + port + " here";
}

void showSessionNotice(kit::World* world, glm::vec2 at, glm::vec2 internetAt)
{
    kit::Text* line = screens::addText(world, "", at, 0.05f, glm::vec3(1.0f, 0.7f, 0.35f));
    // The internet line stands on a plate of its own, there only while it says something.
    constexpr float size = 0.045f, longest = 56.0f, margin = 0.04f;
    const float width = screens::glyphAdvance(size) * longest + 2.0f * margin;
    const kit::EntityHandle plate = screens::addPlate(world, internetAt + glm::vec2(0.5f * width - margin, 0.4f * size),
                                                      glm::vec2(width, 2.4f * size))
                                        ->getEntity();
    kit::Text* internet = screens::addText(world, "", internetAt, size, glm::vec3(1.0f, 1.0f, 0.85f));
    auto refresh = [world, line, internet, plate] {
        kit::NetworkSystem* network = kit::NetworkSystem::of(world);
        if (!network)
            return;
        screens::setText(line, sessionNoticeLine(*network));
        const std::string friends = internetNoticeLine(*network);
        screens::setText(internet, friends);
        if (auto* place = world->getComponent<kit::Transform>(plate.id))
            place->scale = glm::vec3(friends.empty() ? 0.0f : 1.0f);
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
