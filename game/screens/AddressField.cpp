#include "AddressField.h"

#include "game/looks/TextScale.h"
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
constexpr float titleSize = 0.06f, typedSize = 0.075f, messageSize = 0.05f, helpSize = 0.045f;
constexpr glm::vec3 messageColour(1.0f, 0.7f, 0.55f), helpColour(0.8f, 0.85f, 0.9f);

} // namespace

AddressField::AddressField(std::vector<kit::EntityHandle> panel, kit::EntityHandle typedLine,
                           kit::EntityHandle messageLine, std::vector<kit::EntityHandle> behind,
                           std::function<void()> found, std::function<void(const kit::NetAddress&)> join, Limits limits)
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

AddressPanel addressPanel(const AddressPlace& place)
{
    // At 100 %: the title's bottom 0.11 under the top, the typed line 0.13
    // under it, the message 0.11 under that and the help 0.11 under that
    // again, the plate's edge 0.06 under the help; every gap grows with the words.
    const float s = textScale(), right = place.right - widgets::panelMargin;
    AddressPanel panel;
    float y = place.top - 0.05f * s;
    const auto add = [&](const std::vector<std::string>& lines, float size, glm::vec3 colour, float spacing) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            y -= i == 0 ? size : size * spacing;
            panel.lines.push_back({lines[i], glm::vec2(fieldLeft, y), size, colour});
        }
    };
    add(linesWithin(kit::tr("Address or invite code of a copy"), fieldLeft, right, titleSize * s), titleSize * s,
        widgets::titleColour, 1.15f);
    y -= 0.13f * s - typedSize * s;
    panel.typedLine = panel.lines.size();
    add({"_"}, typedSize * s, glm::vec3(1.0f), 1.0f);
    y -= 0.11f * s - messageSize * s;
    panel.messageLine = panel.lines.size();
    add({""}, messageSize * s, messageColour, 1.0f);
    // Past 100 %, a message has a second line under the first.
    const std::size_t messageLines = s > 1.0f ? 2 : 1;
    y -= messageSize * s * static_cast<float>(messageLines - 1);
    y -= 0.11f * s - helpSize * s;
    add(linesWithin(kit::tr("Enter looks for it, Escape closes, Control+V pastes"), fieldLeft, right, helpSize * s),
        helpSize * s, helpColour, 1.2f);
    const float bottom = y - 0.06f * s;
    panel.box = widgets::Box::spanning((place.left + place.right) * 0.5f, place.right - place.left, place.top, bottom);

    // What fits of the typed line (its origin one glyph left of its first letter, and "_" at its end) and of a message.
    const auto fitting = [&](float size) {
        return static_cast<std::size_t>(std::max((right - fieldLeft) / widgets::glyphAdvance(size), 4.0f));
    };
    panel.limits = AddressField::limitsAt100;
    if (s > 1.0f) {
        panel.limits.shownCharacters = fitting(typedSize * s) - 2;
        panel.limits.shownMessage = fitting(messageSize * s) - 1;
        panel.limits.messageLines = messageLines;
    }
    return panel;
}

AddressField* addAddressField(kit::World* world, std::vector<kit::EntityHandle> menu, std::function<void()> found,
                              std::function<void(const kit::NetAddress&)> join, const AddressPlace& place)
{
    const AddressPanel shape = addressPanel(place);
    const widgets::Panel panel =
        widgets::addPanel(world, shape.box, shape.lines, widgets::dialogLayer, widgets::dialogTextLayer);
    return world->emplaceComponent<AddressField>(
        world->createEntity(), panel.entities(), panel.lines[shape.typedLine]->getEntity(),
        panel.lines[shape.messageLine]->getEntity(), std::move(menu), std::move(found), std::move(join), shape.limits);
}

} // namespace skyscuffle
