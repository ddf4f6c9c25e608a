#pragma once

#include "game/screens/AddressSearch.h"

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"
#include "engine/core/Signal.h"
#include "engine/input/Joystick.h"
#include "engine/input/Keyboard.h"
#include "engine/network/NetAddress.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skyscuffle {

// The network screen's field for the address of a copy to look for, drawn on
// a panel over the menu. Opened, it takes what the keyboard types (Control+V
// pastes the clipboard's first line, Backspace takes the last character
// away); Enter looks for an address through LAN discovery and says on the
// panel what came of it, or joins the host an invite code spells at once (a
// code names the game port itself, which may be a router's forwarded port
// that no discovery answers on); Escape, or a joystick's B or Back, closes it. While
// it is open (and in the frame it closes in) the keys are its own: the menu's
// cursor behind it is locked. The frame never waits for it.
class AddressField : public kit::Behavior {
public:
    static constexpr std::size_t maxLength = 100; // characters: the longest host name and a port
    static constexpr float patience = 5.0f;       // seconds an address has to answer

    // `panel` holds the entities of the panel and its lines (shown only while
    // open): the typed text, the message. `behind` holds what the panel
    // covers (the menu; hidden while open, with the entities parented to
    // them). `found` runs when a copy at the address hosts a session (the
    // screen lists it once built again); `join` when an invite code was
    // typed, with the game address it spells.
    AddressField(std::vector<kit::EntityHandle> panel, kit::EntityHandle typedLine, kit::EntityHandle messageLine,
                 std::vector<kit::EntityHandle> behind, std::function<void()> found,
                 std::function<void(const kit::NetAddress&)> join = {});

    // Listens to the keyboard and the joysticks from here on.
    void initialize() override;
    void update(float dt) override;

    // Empty, with no message, over the menu. `swallow` is a character that
    // the key which opens the field is about to type (it is no part of the address).
    void open(unsigned int swallow = 0);
    void close();
    [[nodiscard]] bool isOpen() const { return open_; }
    // Whether keys pressed now are the field's: while it is open, and for the
    // rest of the frame in which it closed (the Escape that closed it is not
    // the menu's Escape).
    [[nodiscard]] bool holdsKeys() const { return open_ || closedThisFrame_; }

    // Appends the printable ASCII characters and blanks (an address or a code
    // has no others) as far as they fit.
    void type(std::string_view characters);
    void erase();
    void paste();
    // Joins the typed invite code's host, looks for the typed address, or
    // says why it can do neither (a code's check character refuses a
    // mistyped one).
    void submit();

    [[nodiscard]] const std::string& text() const { return text_; }
    [[nodiscard]] const std::string& message() const { return message_; }
    [[nodiscard]] bool searching() const { return search_.has_value(); }

private:
    void onKey(const kit::Keyboard::KeyInfo& key);
    void onCharacter(unsigned int codePoint);
    void onButton(const kit::Joystick::ButtonInfo& button);
    void say(const std::string& message);
    void show(bool visible);
    void lockMenu(bool locked);
    void redraw();

    std::vector<kit::EntityHandle> panel_;
    std::vector<kit::EntityHandle> behind_;
    kit::EntityHandle typedLine_;
    kit::EntityHandle messageLine_;
    std::function<void()> found_;
    std::function<void(const kit::NetAddress&)> join_;
    std::string text_;
    std::string message_;
    std::optional<AddressSearch> search_;
    bool open_ = false;
    bool closedThisFrame_ = false;
    unsigned int swallow_ = 0; // a character to drop once, until the next update
    std::vector<kit::ScopedConnection> connections_;
};

// The field on the network screen: the panel in the place of the menu's
// options (`menu`, hidden while the field is open), its lines, and the
// behaviour. `found` runs when an address turns out to host a session,
// `join` when an invite code was typed.
AddressField* addAddressField(kit::World* world, std::vector<kit::EntityHandle> menu, std::function<void()> found,
                              std::function<void(const kit::NetAddress&)> join = {});

} // namespace skyscuffle
