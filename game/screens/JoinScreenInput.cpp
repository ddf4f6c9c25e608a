#include "JoinScreenInput.h"

#include "game/match/MatchRules.h"
#include "game/match/MatchSettings.h"
#include "game/players/Sides.h"

#include "game/screens/JoinScreen.h"
#include "game/screens/MainMenu.h"
#include "game/screens/ScreenSwitch.h"
#include "game/screens/SessionNotice.h"

#include "game/ai/ArtificialIntelligence.h"
#include "game/input/KeyBindings.h"
#include "game/lobby/JoinedBy.h"
#include "game/lobby/JoiningPlayers.h"
#include "game/players/PlayerInfo.h"
#include "game/widgets/WidgetKeys.h"

#include "engine/core/Log.h"
#include "engine/core/Settings.h"
#include "engine/core/World.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keys.h"
#include "engine/network/NetworkSystem.h"

namespace skyscuffle {

namespace {

// The next strength, round from easy to hard, for the last computer pilot a
// device added.
void nextPilotStrength(kit::World* world, int device, const std::string& who)
{
    const auto player = joining::lastComputerPlayer(world, device);
    auto* ai = player ? world->getComponent<ArtificialIntelligence>(player->id) : nullptr;
    if (!ai)
        return;
    ai->strength = static_cast<PilotStrength>((static_cast<int>(ai->strength) + 1) % 3);
    const auto* info = world->getComponent<PlayerInfo>(player->id);
    kit::log::info() << who << " AI player " << (info ? info->number : 0) << " is now " << nameOf(ai->strength);
}

bool hostsSession(kit::World* world)
{
    const kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    return network && network->isServer() && network->peer && network->peer->isActive();
}

// The host's choice, kept in the player's settings as the Options screen
// keeps its choices.
void toggleDropIn(kit::World* world)
{
    if (!hostsSession(world))
        return; // a copy on its own hosts nobody
    const std::string key = matchSettings::dropIn.key();
    const bool on = !matchSettings::dropIn.value();
    kit::settings::clearForRun(key);
    kit::settings::setPlayer(key, on ? "1" : "0");
    kit::settings::keepPlayerChoices();
    kit::log::info() << "Drop-in " << (on ? "on" : "off");
}

// The match's rules are the hosting copy's to choose (a copy on its own
// hosts itself); the other copies hear of each change at once.
void changeRules(kit::World* world, void (*step)())
{
    const kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (network && !network->isServer())
        return;
    step();
    tellRules(world);
}

// A player of this copy asks to change sides; the hosting copy moves it (on a
// copy on its own, at once).
void askToSwitch(kit::World* world, const std::optional<kit::EntityHandle>& player)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (player && network)
        network->callFunction(fn::switchSide, *player);
}

} // namespace

void onJoinScreenKey(kit::World* world, const kit::Keyboard::KeyInfo& key)
{
    using controls::Action;
    if (key.control && key.key == kit::keys::c) {
        copyInviteCode(world); // not the C of a keyboard player's binding
        return;
    }
    // The keys of both keyboard players, as bound (see the Options screen).
    for (int set = 0; set < controls::keyboardSets; ++set) {
        const int device = set == 0 ? JoinedBy::keyboard : JoinedBy::secondKeyboard;
        if (key.key == controls::key(set, Action::join)) {
            if (!joining::humanPlayer(world, device))
                joining::addPlayer(world, device, nullptr, false);
            return;
        }
        if (key.key == controls::key(set, Action::switchSide)) {
            askToSwitch(world, joining::humanPlayer(world, device));
            return;
        }
        if (key.key == controls::key(set, Action::leave)) {
            if (auto player = joining::humanPlayer(world, device)) {
                joining::removePlayer(world, *player);
                kit::log::info() << (set == 0 ? "Keyboard has left" : "Keyboard 2 has left");
            }
            return;
        }
    }
    constexpr int keyboard = JoinedBy::keyboard;
    if (key.key == controls::key(0, Action::addComputer)) {
        if (auto number = joining::addPlayer(world, keyboard, nullptr, true))
            kit::log::info() << "Keyboard has joined an AI player " << *number;
    } else if (key.key == controls::key(0, Action::removeComputer)) {
        if (auto player = joining::lastComputerPlayer(world, keyboard)) {
            joining::removePlayer(world, *player);
            kit::log::info() << "Keyboard AI has left";
        }
    } else if (key.key == controls::key(0, Action::pilotStrength)) {
        nextPilotStrength(world, keyboard, "Keyboard");
    } else if (key.key == kit::keys::tab && !key.control && !key.alt) {
        toggleDropIn(world);
    } else if (key.key == kit::keys::f5) {
        changeRules(world, chooseNextLength);
    } else if (key.key == kit::keys::f6) {
        changeRules(world, chooseNextPickups);
    } else if (key.key == kit::keys::f7) {
        changeRules(world, chooseNextMode);
    } else if (key.key == kit::keys::f8) {
        changeRules(world, chooseModesOwn);
    } else if (key.key == kit::keys::f9) {
        changeRules(world, chooseNextArena);
    } else if (key.key == kit::keys::escape) {
        screens::switchTo(world, createMainMenu);
    } else if (widgets::isEnter(key)) {
        beginRound(world);
    }
}

void onJoinScreenButton(kit::World* world, const kit::Joystick::ButtonInfo& info)
{
    kit::Joystick* joystick = info.joystick;
    if (!joystick)
        return;
    const int slot = joystick->id;
    switch (info.button) {
    case kit::pad::a:
        if (!joining::humanPlayer(world, slot)) {
            if (auto number = joining::addPlayer(world, slot, joystick, false))
                kit::log::info() << "Joystick " << slot << " has joined as player " << *number;
        }
        break;
    case kit::pad::b:
        if (auto player = joining::humanPlayer(world, slot)) {
            joining::removePlayer(world, *player);
            kit::log::info() << "Joystick " << slot << " has left";
        }
        break;
    case kit::pad::x:
        if (auto number = joining::addPlayer(world, slot, nullptr, true))
            kit::log::info() << "Joystick " << slot << " has joined an AI player " << *number;
        break;
    case kit::pad::y:
        if (auto player = joining::lastComputerPlayer(world, slot)) {
            joining::removePlayer(world, *player);
            kit::log::info() << "Joystick " << slot << " AI has left";
        }
        break;
    case kit::pad::leftShoulder:
        nextPilotStrength(world, slot, "Joystick " + std::to_string(slot));
        break;
    case kit::pad::rightShoulder:
        copyInviteCode(world);
        break;
    case kit::pad::right:
        changeRules(world, chooseNextLength);
        break;
    case kit::pad::up:
        changeRules(world, chooseNextPickups);
        break;
    case kit::pad::left:
        changeRules(world, chooseNextMode);
        break;
    case kit::pad::down:
        changeRules(world, chooseModesOwn);
        break;
    case kit::pad::leftStick:
        changeRules(world, chooseNextArena);
        break;
    case kit::pad::rightStick:
        askToSwitch(world, joining::humanPlayer(world, slot));
        break;
    case kit::pad::back:
        screens::switchTo(world, createMainMenu);
        break;
    case kit::pad::start:
        beginRound(world);
        break;
    default:
        break;
    }
}

void listenOnJoinScreen(kit::World* world)
{
    if (world->keyboard)
        world->connections.emplace_back(
            world->keyboard->keyPressed.connect([world](kit::Keyboard::KeyInfo key) { onJoinScreenKey(world, key); }));
    if (world->joysticks)
        world->connections.emplace_back(world->joysticks->buttonPressed.connect(
            [world](kit::Joystick::ButtonInfo button) { onJoinScreenButton(world, button); }));
}

} // namespace skyscuffle
