#include "AddressField.h"

#include "game/widgets/Panel.h"

#include "engine/core/Log.h"
#include "engine/core/Translation.h"
#include "engine/core/World.h"
#include "engine/network/InviteCode.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/render/Text.h"

namespace skyscuffle {

namespace {

constexpr float fieldLeft = -1.16f;

// Characters of the typed line that fit on the panel, and of a message (the
// console has all of it).
constexpr TextField::Limits limits{AddressField::maxLength, 34, 54};

} // namespace

AddressField::AddressField(std::vector<kit::EntityHandle> panel, kit::EntityHandle typedLine,
                           kit::EntityHandle messageLine, std::vector<kit::EntityHandle> behind,
                           std::function<void()> found, std::function<void(const kit::NetAddress&)> join)
    : TextField(std::move(panel), typedLine, messageLine, std::move(behind), limits), found_(std::move(found)),
      join_(std::move(join))
{
    addClassTags<AddressField>("addressField");
}

void AddressField::update(float dt)
{
    TextField::update(dt);
    if (!isOpen() || !search_)
        return;
    auto* discovery = world->single<kit::LANDiscoverySystem>();
    const std::string address = search_->address().text();
    switch (search_->poll(discovery, dt)) {
    case AddressSearch::Outcome::looking:
        return;
    case AddressSearch::Outcome::hosting:
        kit::log::info() << "Session found at " << address;
        search_.reset();
        if (found_)
            found_();
        return;
    case AddressSearch::Outcome::answersWithoutSession:
        say(kit::trLater("{1} answers, but hosts no session"), {address});
        break;
    case AddressSearch::Outcome::noAnswer:
        say(kit::trLater("No answer from {1} within {2} seconds"),
            {address, std::to_string(static_cast<int>(patience))});
        break;
    case AddressSearch::Outcome::unknownHost:
        say(kit::trLater("No host is called {1}"), {search_->address().host});
        break;
    case AddressSearch::Outcome::noDiscovery:
        say(kit::trLater("Cannot look: LAN discovery has no port open"));
        break;
    }
    search_.reset();
}

void AddressField::opened()
{
    search_.reset();
    kit::log::info() << "Type the address of a copy to look for";
}

void AddressField::closed()
{
    search_.reset();
    kit::log::info() << "Address field closed";
}

void AddressField::submit()
{
    // The console keeps what was typed, as it did when the address was read from it.
    kit::log::info() << "IP to connect to: " << text();
    search_.reset();
    if (text().empty()) {
        say(kit::trLater("Type an address or a code first, like 192.168.1.20"));
        return;
    }
    const kit::inviteCode::Reading code = kit::inviteCode::read(text());
    if (code.kind == kit::inviteCode::Reading::Kind::mistyped) {
        say(kit::trLater("Not an invite code: a character of it is mistyped"));
        return;
    }
    if (code.kind == kit::inviteCode::Reading::Kind::code) {
        kit::log::info() << "Joining the host of invite code " << kit::inviteCode::encode(code.address) << " at "
                         << code.address.ipString() << ":" << code.address.port;
        if (join_)
            join_(code.address);
        return;
    }
    const std::optional<TypedAddress> address = TypedAddress::parse(text());
    if (!address) {
        say(kit::trLater("Not an address: {1}"), {text()});
        return;
    }
    search_.emplace(*address, patience);
    say(kit::trLater("Looking for {1} ..."), {address->text()});
}

AddressField* addAddressField(kit::World* world, std::vector<kit::EntityHandle> menu, std::function<void()> found,
                              std::function<void(const kit::NetAddress&)> join)
{
    const widgets::Panel panel = widgets::addPanel(
        world, widgets::Box{glm::vec2(-0.47f, 0.27f), glm::vec2(1.54f, 0.52f)},
        {{kit::tr("Address or invite code of a copy"), glm::vec2(fieldLeft, 0.42f), 0.06f, widgets::titleColour},
         {"_", glm::vec2(fieldLeft, 0.29f), 0.075f},
         {"", glm::vec2(fieldLeft, 0.18f), 0.05f, glm::vec3(1.0f, 0.7f, 0.55f)},
         {kit::tr("Enter looks for it, Escape closes, Control+V pastes"), glm::vec2(fieldLeft, 0.07f), 0.045f,
          glm::vec3(0.8f, 0.85f, 0.9f)}},
        widgets::dialogLayer, widgets::dialogTextLayer);
    return world->emplaceComponent<AddressField>(world->createEntity(), panel.entities(), panel.lines[1]->getEntity(),
                                                 panel.lines[2]->getEntity(), std::move(menu), std::move(found),
                                                 std::move(join));
}

} // namespace skyscuffle
