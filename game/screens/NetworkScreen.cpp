#include "NetworkScreen.h"

#include "game/screens/AddressField.h"
#include "game/screens/JoinScreen.h"
#include "game/screens/LoadingScreen.h"
#include "game/screens/MainMenu.h"
#include "game/screens/NetworkLayout.h"
#include "game/screens/ScreenRegistry.h"
#include "game/screens/ScreenScene.h"
#include "game/screens/ScreenSwitch.h"

#include "game/lobby/ComeBack.h"
#include "game/looks/TextScale.h"
#include "game/widgets/Overlay.h"
#include "game/widgets/Panel.h"
#include "game/widgets/PictureMenu.h"
#include "game/widgets/Plate.h"
#include "game/widgets/ScrollBar.h"
#include "game/widgets/TextFit.h"
#include "game/widgets/WidgetKeys.h"

#include "engine/core/Log.h"
#include "engine/core/Translation.h"
#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keys.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/network/NetworkSettings.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Transform.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <memory>

namespace skyscuffle {

namespace {

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
// letters `size` high, its words ending by `right`; its words' entity joins `drawn`.
MenuOption textOption(kit::World* world, const std::string& label, glm::vec2 position, std::function<void()> action,
                      std::vector<kit::EntityHandle>& drawn, float size, float right,
                      glm::vec3 colour = glm::vec3(1.0f))
{
    kit::Text* text = widgets::addText(world, label, position, size, colour);
    widgets::fitWithin(text, right);
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
glm::vec2 cursorBeside(const MenuOption& o, const networkScreen::Layout& layout)
{
    const float size = o.size.y;
    const glm::vec2 middle(o.position.x + widgets::glyphAdvance(size) - 0.5f * layout.cursor - layout.cursorGap,
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

// The help at the foot of the screen: its lines, and its plate's top edge.
struct Help {
    std::vector<widgets::PanelLine> lines;
    float top = -0.69f, bottom = -0.91f;
};

// With a running match listed, the help says first what choosing it does.
// Each of its sentences takes as many lines as it needs, from the foot up.
Help helpAt(const networkScreen::Layout& layout, bool matchListed, bool oursListed)
{
    constexpr float left = -1.18f;
    std::vector<std::string> sentences{kit::tr("Up and Down choose, Enter goes, Escape goes back"),
                                       kit::tr("Press C to type an address or an invite code")};
    if (matchListed)
        sentences.insert(sentences.begin(), oursListed ? kit::tr("Your last match runs on: Enter on it to come back")
                                                       : kit::tr("Enter on a match in progress watches it"));
    const float s = layout.scale, size = layout.helpSize;
    Help help;
    help.bottom = -0.91f - 0.06f * (s - 1.0f);
    std::vector<bool> starts; // whether each line starts a sentence
    for (const std::string& sentence : sentences) {
        bool first = true;
        for (const std::string& line : linesWithin(sentence, left, layout.wordsRight, size)) {
            help.lines.push_back({line, glm::vec2(left, 0.0f), size});
            starts.push_back(first);
            first = false;
        }
    }
    // Sentences 0.08 apart at 100 %, a sentence's lines closer.
    float y = help.bottom + 0.03f * s;
    for (std::size_t i = help.lines.size(); i-- > 0;) {
        help.lines[i].origin.y = y;
        if (i > 0)
            y += starts[i] ? 0.08f * s : 1.2f * size;
    }
    help.top = y + size + 0.055f * s;
    return help;
}

// One line of the list: what it says and what choosing it does; a running
// match's line is smaller, and starts further left.
struct Entry {
    std::string words;
    std::function<void()> action;
    bool match = false;
};

// Keeps the chosen line of a list longer than its room in view: the lines
// move up by the lines scrolled past, and the cursor and the bar's thumb
// follow. The lines' being drawn is its own: those in view, while the
// address field is closed.
struct ListView {
    PictureMenu* menu = nullptr;
    const AddressField* field = nullptr;
    std::vector<kit::EntityHandle> lines; // one per option
    std::vector<glm::vec2> cursorAt;      // the cursor's place beside each line, unscrolled
    float step = 0.1f;
    widgets::ScrollBar bar;
    bool laidOut = false;

    void update(kit::World& world)
    {
        if (bar.follow(menu->selected) || !laidOut) {
            laidOut = true;
            const float moved = step * static_cast<float>(bar.first);
            for (std::size_t i = 0; i < lines.size(); ++i) {
                if (auto* place = world.getComponent<kit::Transform>(lines[i].id))
                    place->position.y = moved;
                menu->positions[i] = cursorAt[i] + glm::vec2(0.0f, moved);
            }
            bar.placeThumb(world);
        }
        const bool covered = field && field->isOpen();
        for (std::size_t i = 0; i < lines.size(); ++i)
            widgets::showDrawn(world, lines[i], !covered && bar.inView(static_cast<int>(i)));
        // The cursor stands by the chosen line in this very frame.
        if (auto* place = world.getComponent<kit::Transform>(menu->entityId))
            place->position = glm::vec3(menu->positions[static_cast<std::size_t>(menu->selected)], 0.0f);
    }
};

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

    std::vector<Entry> entries;
    bool matchListed = false;
    bool oursListed = false;
    const auto note = leftMatch();
    entries.push_back({kit::tr("Refresh"), [world] { screens::switchTo(world, createNetworkScreen); }});
    entries.push_back(
        {kit::tr("Host a Session"), [world, port, maxConnections] { host(world, port, maxConnections); }});
    if (discovery) {
        int i = 0;
        for (const auto& [address, server] : discovery->servers) {
            if (!server.hosting || i == listedServers)
                continue;
            ++i;
            const kit::NetAddress at = address;
            kit::log::info() << "Session found: " << address.ipString();
            entries.push_back({address.ipString(), [world, at, port] { joinListedServer(world, at, port); }});
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
            kit::log::info() << "Match running: " << address.ipString() << "  " << englishLine(*server.match);
            entries.push_back({address.ipString() + "  " + describeRunningMatch(*server.match),
                               [world, at, port] { watchListedMatch(world, at, port); }, true});
        }
    }

    // The list's lines down to the help's panel; past that, it scrolls.
    const networkScreen::Layout layout = networkScreen::layoutNow();
    const Help help = helpAt(layout, matchListed, oursListed);
    const int total = static_cast<int>(entries.size());
    const float margin = 0.05f + 0.025f * (layout.scale - 1.0f); // under the last line, to the plate's edge
    const float lowest = help.top + 0.04f + margin;
    const int room = std::max(2, static_cast<int>(std::floor((layout.firstY - lowest) / layout.step + 1e-3f)) + 1);
    const int shown = std::min(total, room);
    const bool scrolls = shown < total;

    const screens::Viewpoint view = screens::addLandscape(world);
    screens::addMascot(world, view.at(glm::vec3(6.2f, -0.6f, -12.0f)),
                       view.turn * glm::angleAxis(-0.45f, glm::vec3(0, 1, 0)), 1.5f);
    widgets::addOverlay(world, false);
    // Down to the last line in view, or to the line saying that none was found.
    const float bottom = layout.lineY(std::max(shown, 3) - 1) - margin;
    const float centre = (networkScreen::panelLeft + layout.right) * 0.5f,
                width = layout.right - networkScreen::panelLeft;
    const widgets::Panel listPanel =
        widgets::addPanel(world, widgets::Box::spanning(centre, width, layout.top, bottom),
                          {{kit::tr("Play on the local network"), glm::vec2(-1.18f, layout.titleY), layout.titleSize,
                            widgets::titleColour}});
    const widgets::Panel helpPanel =
        widgets::addPanel(world, widgets::Box::spanning(centre, width, help.top, help.bottom), help.lines);

    std::vector<MenuOption> options;
    std::vector<kit::EntityHandle> menu;  // what the address field covers
    std::vector<kit::EntityHandle> lines; // the options' words
    const float wordsRight = scrolls ? layout.wordsRight - networkScreen::barRoom : layout.wordsRight;
    for (int i = 0; i < total; ++i) {
        Entry& entry = entries[static_cast<std::size_t>(i)];
        // A running match's line: smaller, and from near the panel's left edge, where the longest line still fits.
        if (entry.match)
            options.push_back(textOption(world, entry.words, {layout.matchX, layout.lineY(i) + 0.012f * layout.scale},
                                         std::move(entry.action), lines, layout.matchSize, wordsRight,
                                         glm::vec3(0.8f, 0.85f, 0.9f)));
        else
            options.push_back(textOption(world, entry.words, {layout.optionX, layout.lineY(i)}, std::move(entry.action),
                                         lines, layout.optionSize, wordsRight));
    }
    // A list that scrolls shows its lines itself; the field covers the others.
    if (!scrolls)
        menu.insert(menu.end(), lines.begin(), lines.end());
    if (total == 2) {
        kit::Text* none =
            widgets::addText(world, kit::tr("No hosted session found yet"), glm::vec2(layout.optionX, layout.lineY(2)),
                             0.05f * layout.scale, glm::vec3(0.8f, 0.85f, 0.9f));
        widgets::fitWithin(none, layout.wordsRight);
        menu.push_back(none->getEntity());
    }
    std::vector<glm::vec2> positions;
    for (const MenuOption& o : options)
        positions.push_back(cursorBeside(o, layout));
    PictureMenu* picked = addPictureMenu(world, std::move(options), positions, layout.cursor);
    menu.push_back(picked->getEntity());
    std::shared_ptr<ListView> list;
    if (scrolls) {
        list = std::make_shared<ListView>();
        list->menu = picked;
        list->lines = lines;
        list->cursorAt = std::move(positions);
        list->step = layout.step;
        // The bar at the panel's right edge, as long as the lines in view.
        list->bar =
            widgets::addScrollBar(world, layout.wordsRight - networkScreen::barWidth * 0.5f, networkScreen::barWidth,
                                  layout.firstY + layout.optionSize, layout.lineY(shown - 1), total, shown);
        menu.push_back(list->bar.track->getEntity());
        menu.push_back(list->bar.thumb->getEntity());
        world->emplaceComponent<kit::UpdateSignal>(world->createEntity(),
                                                   [world, list](kit::Component*, float) { list->update(*world); });
        list->update(*world);
    }
    // The address field's panel stands where the list does, and covers the
    // help too where it reaches as far down. While it is open, the list's
    // plate reaches down to the field's foot (no edge of it under the field).
    AddressPlace place;
    place.left = networkScreen::panelLeft;
    place.right = layout.right;
    const widgets::Box fieldBox = addressPanel(place).box;
    const float fieldBottom = fieldBox.centre.y - fieldBox.size.y * 0.5f;
    if (fieldBottom < help.top + 0.02f)
        for (const kit::EntityHandle& e : helpPanel.entities())
            menu.push_back(e);
    kit::Sprite* deeper = nullptr;
    if (fieldBottom < bottom) {
        deeper = widgets::addPlate(world, widgets::Box::spanning(centre, width, layout.top, fieldBottom));
        widgets::showDrawn(*world, deeper->getEntity(), false);
        menu.push_back(listPanel.plate->getEntity());
    }
    // A copy found at a typed address is listed once the screen is built again.
    // A code names the host's game port: it is joined as a listed session is.
    AddressField* field = addAddressField(
        world, std::move(menu), [world] { screens::switchTo(world, createNetworkScreen); },
        [world](const kit::NetAddress& host) {
            if (kit::NetworkSystem* network = kit::NetworkSystem::of(world))
                network->join(host.ipString(), host.port);
            screens::switchTo(world, createJoinScreen);
        },
        place);
    if (list)
        list->field = field;
    if (deeper)
        world->emplaceComponent<kit::UpdateSignal>(world->createEntity(),
                                                   [world, field, deeper](kit::Component*, float) {
                                                       widgets::showDrawn(*world, deeper->getEntity(), field->isOpen());
                                                   });
}

} // namespace skyscuffle
