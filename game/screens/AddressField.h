#pragma once

#include "game/screens/AddressSearch.h"

#include "game/widgets/Panel.h"
#include "game/widgets/TextField.h"

#include "engine/core/EntityHandle.h"
#include "engine/network/NetAddress.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace skyscuffle {

// The network screen's field for the address of a copy to look for: a text
// field whose Enter looks for an address through LAN discovery and says on
// the panel what came of it, or joins the host an invite code spells at once
// (a code names the game port itself, which may be a router's forwarded port
// that no discovery answers on). The frame never waits for it.
class AddressField : public TextField {
public:
    static constexpr std::size_t maxLength = 100; // characters: the longest host name and a port
    static constexpr float patience = 5.0f;       // seconds an address has to answer
    // Characters of the typed line that fit on the panel at 100 %, and of a
    // message (the console has all of it).
    static constexpr Limits limitsAt100{maxLength, 34, 54};

    // `panel`, `typedLine`, `messageLine` and `behind` as for a TextField
    // (`behind`: the menu). `found` runs when a copy at the address hosts a
    // session (the screen lists it once built again); `join` when an invite
    // code was typed, with the game address it spells.
    AddressField(std::vector<kit::EntityHandle> panel, kit::EntityHandle typedLine, kit::EntityHandle messageLine,
                 std::vector<kit::EntityHandle> behind, std::function<void()> found,
                 std::function<void(const kit::NetAddress&)> join = {}, Limits limits = limitsAt100);

    void update(float dt) override;

    // Joins the typed invite code's host, looks for the typed address, or
    // says why it can do neither (a code's check character refuses a
    // mistyped one).
    void submit() override;

    [[nodiscard]] bool searching() const { return search_.has_value(); }

protected:
    void opened() override;
    void closed() override;

private:
    std::function<void()> found_;
    std::function<void(const kit::NetAddress&)> join_;
    std::optional<AddressSearch> search_;
};

// Where the field's panel stands: its left and right edges and its top edge;
// it reaches down as far as its lines need at the player's text size.
struct AddressPlace {
    float left = -1.24f, right = 0.30f, top = 0.53f;
};

// The field's panel at the player's text size: its plate, its lines (the
// title's, the typed line, the message's, the help's, the title and the help
// on as many lines as they need), which of them are the typed line and the
// message, and what the field shows of them.
struct AddressPanel {
    widgets::Box box;
    std::vector<widgets::PanelLine> lines;
    std::size_t typedLine = 0, messageLine = 0;
    TextField::Limits limits;
};
AddressPanel addressPanel(const AddressPlace& place);

// The field on the network screen: the panel at `place`, over the menu's
// options (`menu`, hidden while the field is open), its lines, and the
// behaviour. `found` runs when an address turns out to host a session,
// `join` when an invite code was typed.
AddressField* addAddressField(kit::World* world, std::vector<kit::EntityHandle> menu, std::function<void()> found,
                              std::function<void(const kit::NetAddress&)> join = {}, const AddressPlace& place = {});

} // namespace skyscuffle
