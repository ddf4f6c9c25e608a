#include "NetworkScreen.h"

#include "game/screens/AddressField.h"
#include "game/screens/JoinScreen.h"
#include "game/screens/LoadingScreen.h"
#include "game/screens/MainMenu.h"
#include "game/screens/ScreenRegistry.h"
#include "game/screens/ScreenScene.h"
#include "game/screens/ScreenSwitch.h"

#include "game/lobby/ComeBack.h"
#include "game/widgets/Overlay.h"
#include "game/widgets/Panel.h"
#include "game/widgets/PictureMenu.h"
#include "game/widgets/TextFit.h"
#include "game/widgets/WidgetKeys.h"

#include "engine/core/Log.h"
#include "engine/core/Translation.h"
#include "engine/core/World.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keys.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/network/NetworkSettings.h"
#include "engine/network/NetworkSystem.h"
#include "engine/render/Text.h"

#include <algorithm>
#include <ctime>

namespace skyscuffle {

namespace {

constexpr float optionTextSize = 0.075f;
// Where the options' panel ends: their words end before it.
constexpr float optionsRight = -0.47f + 1.54f / 2 - widgets::panelMargin;
constexpr float cursorSize = 0.09f;
constexpr int listedServers = 9; // as many as the screen has lines for
// How long after its last note a copy that left a match may come back to it;
// a note newer than a few seconds is still being kept by a copy that plays
// (two copies of one player on one machine share the note).
constexpr std::int64_t comeBackSeconds = 60;
constexpr std::int64_t stillKept = 3;

std::optional<comeBack::Note> leftMatch()
{
    const auto now = static_cast<std::int64_t>(std::time(nullptr));
    std::optional<comeBack::Note> note = comeBack::recent(now, comeBackSeconds);
    if (note && now - note->writtenAt < stillKept)
        return std::nullopt;
    return note;
}

kit::LANDiscoverySystem* discoveryOf(kit::World* world)
{
    return world->single<kit::LANDiscoverySystem>();
}

// A text option at `position` (where its line starts and its bottom), its
// letters `size` high; its words' entity joins `drawn`.
MenuOption textOption(kit::World* world, const std::string& label, glm::vec2 position, std::function<void()> action,
                      std::vector<kit::EntityHandle>& drawn, float size = optionTextSize,
                      glm::vec3 colour = glm::vec3(1.0f))
{
    kit::Text* text = widgets::addText(world, label, position, size, colour);
    widgets::fitWithin(text, optionsRight);
    drawn.push_back(text->getEntity());
    MenuOption o;
    o.action = std::move(action);
    o.position = glm::vec3(position, 0.0f);
    o.size = glm::vec2(widgets::glyphAdvance(size) * static_cast<float>(label.size()), size);
    o.world = world;
    return o;
}

// Where the cursor stands for a text option: its picture just left of the
// first letter, level with the middle of the line.
glm::vec2 cursorBeside(const MenuOption& o)
{
    const float size = o.size.y;
    const glm::vec2 middle(o.position.x + widgets::glyphAdvance(size) - 0.5f * cursorSize - 0.045f,
                           o.position.y + 0.5f * size);
    return middle + glm::vec2(0.0f, cursorRaise);
}

void host(kit::World* world, std::uint16_t port, std::uint16_t maxConnections)
{
    if (kit::NetworkSystem* network = kit::NetworkSystem::of(world))
        network->host(port, maxConnections);
    screens::switchTo(world, createJoinScreen);
}

AddressField* addressFieldOf(kit::World* world)
{
    return world->single<AddressField>();
}

// Escape and the joystick's B and Back go back to the main menu, C opens the
// address field; none of them while the field has the keys (there C is a
// letter, and Escape or B closes the field).
void listen(kit::World* world)
{
    if (world->keyboard)
        world->connections.emplace_back(world->keyboard->keyPressed.connect([world](kit::Keyboard::KeyInfo key) {
            AddressField* field = addressFieldOf(world);
            if (field && field->holdsKeys())
                return;
            if (key.key == kit::keys::escape)
                screens::switchTo(world, createMainMenu);
            else if (key.key == kit::keys::c && field && !key.control && !key.alt)
                field->open('c'); // the key types its letter next: not into the field
        }));
    if (world->joysticks)
        world->connections.emplace_back(
            world->joysticks->buttonPressed.connect([world](kit::Joystick::ButtonInfo button) {
                const AddressField* field = addressFieldOf(world);
                if (field && field->holdsKeys())
                    return;
                if (button.button == kit::pad::b || button.button == kit::pad::back)
                    screens::switchTo(world, createMainMenu);
            }));
}

// The landscape, the mascot, the title, the help and their panels; the
// options' panel reaches down to the last of `rows` option lines. With a
// running match listed, the help says what choosing it does.
void showHelp(kit::World* world, int rows, bool matchListed, bool oursListed)
{
    const screens::Viewpoint view = screens::addLandscape(world);
    screens::addMascot(world, view.at(glm::vec3(6.2f, -0.6f, -12.0f)),
                       view.turn * glm::angleAxis(-0.45f, glm::vec3(0, 1, 0)), 1.5f);
    widgets::addOverlay(world, false);
    const float bottom = 0.4f - 0.1f * static_cast<float>(rows - 1) - 0.05f;
    widgets::addPanel(world, widgets::Box::spanning(-0.47f, 1.54f, 0.84f, bottom),
                      {{kit::tr("Play on the local network"), glm::vec2(-1.18f, 0.66f), 0.1f, widgets::titleColour}});
    std::vector<widgets::PanelLine> help{
        {kit::tr("Up and Down choose, Enter goes, Escape goes back"), glm::vec2(-1.18f, -0.8f), 0.055f},
        {kit::tr("Press C to type an address or an invite code"), glm::vec2(-1.18f, -0.88f), 0.055f}};
    if (matchListed)
        help.insert(help.begin(), {oursListed ? kit::tr("Your last match runs on: Enter on it to come back")
                                              : kit::tr("Enter on a match in progress watches it"),
                                   glm::vec2(-1.18f, -0.72f), 0.055f});
    const float top = matchListed ? -0.61f : -0.69f;
    widgets::addPanel(world, widgets::Box::spanning(-0.47f, 1.54f, top, -0.91f), std::move(help));
}

} // namespace

void watchListedMatch(kit::World* world, const kit::NetAddress& server, std::uint16_t gamePort)
{
    bool stillRunning = false;
    if (kit::LANDiscoverySystem* discovery = discoveryOf(world)) {
        const auto found = discovery->servers.find(server);
        stillRunning = found != discovery->servers.end() && found->second.match && !found->second.hosting;
    }
    if (!stillRunning) {
        screens::switchTo(world, createNetworkScreen);
        return;
    }
    // The match this copy left (it crashed, or lost its link): its players come back.
    const auto note = leftMatch();
    if (note && note->host == server.ipString() && note->port == gamePort) {
        comeBack::pending() = note;
        kit::log::info() << "Coming back to the match at " << server.ipString();
    } else {
        kit::log::info() << "Watching the match at " << server.ipString();
    }
    if (kit::NetworkSystem* network = kit::NetworkSystem::of(world)) {
        network->join(server.ipString(), gamePort);
        network->screenName = "loading"; // not yet waiting for the host's word of the match
    }
    screens::switchTo(world, LoadingScreenInitializer{"buckets/gameWorld.txt", screens::watchWorld()});
}

void joinListedServer(kit::World* world, const kit::NetAddress& server, std::uint16_t gamePort)
{
    bool stillHosting = false;
    if (kit::LANDiscoverySystem* discovery = discoveryOf(world)) {
        const auto found = discovery->servers.find(server);
        stillHosting = found != discovery->servers.end() && found->second.hosting;
    }
    if (!stillHosting) {
        screens::switchTo(world, createNetworkScreen);
        return;
    }
    if (kit::NetworkSystem* network = kit::NetworkSystem::of(world))
        network->join(server.ipString(), gamePort);
    screens::switchTo(world, createJoinScreen);
}

namespace {

std::string clockOf(const kit::Announcement::RunningMatch& match)
{
    const int seconds = match.secondsLeft % 60;
    return std::to_string(match.secondsLeft / 60) + ":" + (seconds < 10 ? "0" : "") + std::to_string(seconds);
}

// The log's line stays English whatever the player reads.
std::string englishLine(const kit::Announcement::RunningMatch& match)
{
    return "in a match, " + clockOf(match) + " left, " + std::to_string(match.players) +
           (match.players == 1 ? " player" : " players");
}

} // namespace

std::string describeRunningMatch(const kit::Announcement::RunningMatch& match)
{
    const int players = match.players;
    const std::string clock = clockOf(match);
    return kit::format(kit::trn("in a match, {1} left, {2} player", "in a match, {1} left, {2} players",
                                static_cast<unsigned long>(std::max(players, 0))),
                       {clock, std::to_string(players)});
}

void createNetworkScreen(kit::World* world)
{
    world->maxFrameRate = screens::stillScreenFrameRate;
    kit::log::info() << "Creating Network Screen";
    kit::log::info() << "Press C to enter an IP to discover manually";
    const int portSetting = kit::networkSettings::port.value();
    const int connectionSetting = kit::networkSettings::maxConnections.value();
    const auto port = static_cast<std::uint16_t>(std::clamp(portSetting, 0, 65535));
    const auto maxConnections = static_cast<std::uint16_t>(std::clamp(connectionSetting, 1, 65535));

    screens::endSession(world);
    kit::LANDiscoverySystem* discovery = discoveryOf(world);
    if (discovery && discovery->boundPort != 0) {
        for (std::uint16_t discoveryPort : discovery->ports)
            discovery->peer->ping("255.255.255.255", discoveryPort, true);
    }
    listen(world);

    std::vector<MenuOption> options;
    std::vector<kit::EntityHandle> menu; // what the address field covers
    int rows = 2;
    bool matchListed = false;
    bool oursListed = false;
    const auto note = leftMatch();
    options.push_back(textOption(
        world, kit::tr("Refresh"), {-0.5f, 0.4f}, [world] { screens::switchTo(world, createNetworkScreen); }, menu));
    options.push_back(textOption(
        world, kit::tr("Host a Session"), {-0.5f, 0.3f},
        [world, port, maxConnections] { host(world, port, maxConnections); }, menu));
    if (discovery) {
        int i = 0;
        for (const auto& [address, server] : discovery->servers) {
            if (!server.hosting || i == listedServers)
                continue;
            ++i;
            const kit::NetAddress at = address;
            kit::log::info() << "Session found: " << address.ipString();
            options.push_back(textOption(
                world, address.ipString(), {-0.5f, 0.3f - 0.1f * float(i)},
                [world, at, port] { joinListedServer(world, at, port); }, menu));
        }
        // Sessions whose match runs: watched when chosen; they take players
        // again on their join screen once the match is over.
        for (const auto& [address, server] : discovery->servers) {
            if (server.hosting || !server.match || i == listedServers)
                continue;
            ++i;
            matchListed = true;
            oursListed = oursListed || (note && note->host == address.ipString() && note->port == port);
            const kit::NetAddress at = address;
            const std::string line = address.ipString() + "  " + describeRunningMatch(*server.match);
            kit::log::info() << "Match running: " << address.ipString() << "  " << englishLine(*server.match);
            // Smaller, and from near the panel's left edge, where the longest line still fits.
            options.push_back(textOption(
                world, line, {-1.1f, 0.3f - 0.1f * float(i) + 0.012f},
                [world, at, port] { watchListedMatch(world, at, port); }, menu, 0.05f, glm::vec3(0.8f, 0.85f, 0.9f)));
        }
        rows += i;
    }
    if (rows == 2) {
        kit::Text* none = widgets::addText(world, kit::tr("No hosted session found yet"), glm::vec2(-0.5f, 0.2f), 0.05f,
                                           glm::vec3(0.8f, 0.85f, 0.9f));
        widgets::fitWithin(none, optionsRight);
        menu.push_back(none->getEntity());
    }
    showHelp(world, std::max(rows, 3), matchListed, oursListed);
    std::vector<glm::vec2> positions;
    for (const MenuOption& o : options)
        positions.push_back(cursorBeside(o));
    menu.push_back(addPictureMenu(world, std::move(options), std::move(positions), cursorSize)->getEntity());
    // A copy found at a typed address is listed once the screen is built again.
    // A code names the host's game port: it is joined as a listed session is.
    addAddressField(
        world, std::move(menu), [world] { screens::switchTo(world, createNetworkScreen); },
        [world](const kit::NetAddress& host) {
            if (kit::NetworkSystem* network = kit::NetworkSystem::of(world))
                network->join(host.ipString(), host.port);
            screens::switchTo(world, createJoinScreen);
        });
}

} // namespace skyscuffle
