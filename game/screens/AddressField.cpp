#include "AddressField.h"

#include "game/screens/Cursor.h"
#include "game/screens/ScreenKeys.h"
#include "game/screens/ScreenScene.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keys.h"
#include "engine/network/InviteCode.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/physics/Transform.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"

namespace skyscuffle {

namespace {

constexpr float lineSize = 0.075f;
constexpr float left = -1.16f;
// Characters of the typed line that fit on the panel; a longer address
// shows its end, where the typing is. A longer message is cut short on the
// panel (the console has all of it).
constexpr std::size_t shownCharacters = 34;
constexpr std::size_t shownMessage = 54;

// An address has none but these; an invite code read aloud may be typed with
// a blank in the middle.
bool printable(unsigned int codePoint)
{
    return codePoint >= 0x20 && codePoint < 0x7F;
}

unsigned int lowerCase(unsigned int codePoint)
{
    return codePoint >= 'A' && codePoint <= 'Z' ? codePoint - 'A' + 'a' : codePoint;
}

// Shows or hides what an entity draws, and what the entities parented to it draw.
void showDrawn(kit::World& world, kit::EntityHandle entity, bool visible)
{
    if (const auto* parts = world.componentsOf(entity.id)) {
        for (kit::Component* c : *parts)
            if (c->hasTag(kit::tagId("renderable")))
                c->enabled = visible;
    }
    if (const auto* transform = world.getComponent<kit::Transform>(entity.id))
        for (const kit::EntityHandle& child : std::vector<kit::EntityHandle>(transform->children))
            showDrawn(world, child, visible);
}

} // namespace

AddressField::AddressField(std::vector<kit::EntityHandle> panel, kit::EntityHandle typedLine,
                           kit::EntityHandle messageLine, std::vector<kit::EntityHandle> behind,
                           std::function<void()> found, std::function<void(const kit::NetAddress&)> join)
    : panel_(std::move(panel)), behind_(std::move(behind)), typedLine_(typedLine), messageLine_(messageLine),
      found_(std::move(found)), join_(std::move(join))
{
    addClassTags<AddressField>("addressField");
}

void AddressField::initialize()
{
    if (world->keyboard) {
        connections_.emplace_back(
            world->keyboard->keyPressed.connect([this](kit::Keyboard::KeyInfo key) { onKey(key); }));
        connections_.emplace_back(
            world->keyboard->character.connect([this](kit::Keyboard::CharInfo c) { onCharacter(c.codePoint); }));
    }
    if (world->joysticks)
        connections_.emplace_back(
            world->joysticks->buttonPressed.connect([this](kit::Joystick::ButtonInfo b) { onButton(b); }));
    show(open_);
}

void AddressField::update(float dt)
{
    // Keys and characters of one press arrive before the frame's update: the
    // opening key's character has come by now, if it ever does.
    swallow_ = 0;
    if (closedThisFrame_) {
        closedThisFrame_ = false;
        lockMenu(false);
    }
    if (!open_ || !search_)
        return;
    auto* discovery = world->getComponent<kit::LANDiscoverySystem>(world->systemEntity());
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
        say(address + " answers, but hosts no session");
        break;
    case AddressSearch::Outcome::noAnswer:
        say("No answer from " + address + " within " + std::to_string(static_cast<int>(patience)) + " seconds");
        break;
    case AddressSearch::Outcome::unknownHost:
        say("No host is called " + search_->address().host);
        break;
    case AddressSearch::Outcome::noDiscovery:
        say("Cannot look: LAN discovery has no port open");
        break;
    }
    search_.reset();
}

void AddressField::open(unsigned int swallow)
{
    if (open_)
        return;
    open_ = true;
    closedThisFrame_ = false;
    swallow_ = lowerCase(swallow);
    text_.clear();
    message_.clear();
    search_.reset();
    lockMenu(true);
    show(true);
    redraw();
    kit::log::info() << "Type the address of a copy to look for";
}

void AddressField::close()
{
    if (!open_)
        return;
    open_ = false;
    closedThisFrame_ = true; // the menu takes keys again from the next frame
    search_.reset();
    show(false);
    kit::log::info() << "Address field closed";
}

void AddressField::type(std::string_view characters)
{
    for (const char c : characters)
        if (printable(static_cast<unsigned char>(c)) && text_.size() < maxLength)
            text_ += c;
    redraw();
}

void AddressField::erase()
{
    if (!text_.empty())
        text_.pop_back();
    redraw();
}

void AddressField::paste()
{
    if (!world->keyboard)
        return;
    // The first line, without the blanks around it.
    std::string pasted = world->keyboard->clipboardText();
    pasted = pasted.substr(0, pasted.find_first_of("\r\n"));
    const std::size_t first = pasted.find_first_not_of(" \t");
    if (first == std::string::npos)
        return;
    type(std::string_view(pasted).substr(first, pasted.find_last_not_of(" \t") - first + 1));
}

void AddressField::submit()
{
    // The console keeps what was typed, as it did when the address was read from it.
    kit::log::info() << "IP to connect to: " << text_;
    search_.reset();
    if (text_.empty()) {
        say("Type an address or a code first, like 192.168.1.20");
        return;
    }
    const kit::inviteCode::Reading code = kit::inviteCode::read(text_);
    if (code.kind == kit::inviteCode::Reading::Kind::mistyped) {
        say("Not an invite code: a character of it is mistyped");
        return;
    }
    if (code.kind == kit::inviteCode::Reading::Kind::code) {
        kit::log::info() << "Joining the host of invite code " << kit::inviteCode::encode(code.address) << " at "
                         << code.address.ipString() << ":" << code.address.port;
        if (join_)
            join_(code.address);
        return;
    }
    const std::optional<TypedAddress> address = TypedAddress::parse(text_);
    if (!address) {
        say("Not an address: " + text_);
        return;
    }
    search_.emplace(*address, patience);
    say("Looking for " + address->text() + " ...");
}

void AddressField::onKey(const kit::Keyboard::KeyInfo& key)
{
    if (!open_)
        return;
    if (key.key == kit::keys::escape)
        close();
    else if (screens::isEnter(key))
        submit();
    else if (key.key == kit::keys::backspace)
        erase();
    else if (key.key == kit::keys::v && key.control)
        paste();
}

void AddressField::onCharacter(unsigned int codePoint)
{
    if (!open_)
        return;
    if (swallow_ != 0 && lowerCase(codePoint) == swallow_) {
        swallow_ = 0; // the opening key's own character
        return;
    }
    if (printable(codePoint))
        type(std::string(1, static_cast<char>(codePoint)));
}

void AddressField::onButton(const kit::Joystick::ButtonInfo& button)
{
    if (open_ && (button.button == kit::pad::b || button.button == kit::pad::back))
        close();
}

void AddressField::say(const std::string& message)
{
    if (!message.empty())
        kit::log::info() << message;
    message_ = message;
    redraw();
}

void AddressField::show(bool visible)
{
    for (const kit::EntityHandle& e : panel_)
        showDrawn(*world, e, visible);
    for (const kit::EntityHandle& e : behind_)
        showDrawn(*world, e, !visible);
}

void AddressField::lockMenu(bool locked)
{
    for (kit::Component* c : *world->getComponentCollection(kit::typeId<Cursor>()))
        static_cast<Cursor*>(c)->locked = locked;
}

void AddressField::redraw()
{
    std::string shown = text_.size() > shownCharacters ? "<" + text_.substr(text_.size() - shownCharacters + 1) : text_;
    screens::setText(world->getComponent<kit::Text>(typedLine_.id), shown + "_");
    screens::setText(world->getComponent<kit::Text>(messageLine_.id),
                     message_.size() > shownMessage ? message_.substr(0, shownMessage - 3) + "..." : message_);
}

AddressField* addAddressField(kit::World* world, std::vector<kit::EntityHandle> menu, std::function<void()> found,
                              std::function<void(const kit::NetAddress&)> join)
{
    const glm::vec3 title(1.0f, 0.85f, 0.25f);
    auto entityOf = [](kit::Component* c) { return c->getEntity(); };
    std::vector<kit::EntityHandle> panel;
    panel.push_back(
        entityOf(screens::addPlate(world, glm::vec2(-0.47f, 0.27f), glm::vec2(1.54f, 0.52f), screens::dialogLayer)));
    panel.push_back(entityOf(screens::addText(world, "Address or invite code of a copy", glm::vec2(left, 0.42f), 0.06f,
                                              title, true, screens::dialogTextLayer)));
    const kit::EntityHandle typed = entityOf(screens::addText(world, "_", glm::vec2(left, 0.29f), lineSize,
                                                              glm::vec3(1.0f), true, screens::dialogTextLayer));
    const kit::EntityHandle message = entityOf(screens::addText(
        world, "", glm::vec2(left, 0.18f), 0.05f, glm::vec3(1.0f, 0.7f, 0.55f), true, screens::dialogTextLayer));
    panel.push_back(typed);
    panel.push_back(message);
    panel.push_back(
        entityOf(screens::addText(world, "Enter looks for it, Escape closes, Control+V pastes", glm::vec2(left, 0.07f),
                                  0.045f, glm::vec3(0.8f, 0.85f, 0.9f), true, screens::dialogTextLayer)));
    return world->emplaceComponent<AddressField>(world->createEntity(), std::move(panel), typed, message,
                                                 std::move(menu), std::move(found), std::move(join));
}

} // namespace skyscuffle
