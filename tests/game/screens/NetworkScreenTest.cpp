// The network screen: its options, hosting, joining a listed server (or
// rebuilding when the list was stale), the field the C key opens for an
// address to look for, and the ways back.
#include "ScreenFixture.h"

#include "game/lobby/ComeBack.h"
#include "game/looks/LookSettings.h"
#include "game/screens/AddressField.h"
#include "game/screens/NetworkScreen.h"

#include "game/widgets/Overlay.h"
#include "game/widgets/PictureMenu.h"
#include "game/widgets/Plate.h"

#include "engine/core/Settings.h"
#include "engine/network/InviteCode.h"
#include "engine/network/NetPeer.h"
#include "engine/physics/Transform.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"
#include "support/ScopedVariable.h"
#include "support/ShownText.h"

#include <cctype>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <thread>

using namespace skyscuffle;

namespace {

using namespace kit::keys;

class NetworkScreen : public test::Screens {
protected:
    // The player's text size in percent, while it lives.
    struct TextSize {
        explicit TextSize(int percent) { kit::settings::set(lookSettings::textSize.key(), std::to_string(percent)); }
        ~TextSize()
        {
            kit::settings::set(lookSettings::textSize.key(), std::to_string(lookSettings::textSize.fallback()));
        }
    };
    void SetUp() override
    {
        Screens::SetUp();
        kit::settings::set("tuning.server.port", "0"); // any free port: tests may run side by side
        start(createNetworkScreen);
        frame();
    }
    PictureMenu& cursor()
    {
        return *static_cast<PictureMenu*>(world()->getComponentCollection(kit::typeId<PictureMenu>())->first());
    }
    AddressField& field()
    {
        return *static_cast<AddressField*>(world()->getComponentCollection(kit::typeId<AddressField>())->first());
    }
    void rebuild()
    {
        app->setWorld(std::make_shared<kit::World>(createNetworkScreen));
        frame();
    }
    // A key as the window reports a typing key: its press, the character it
    // types, its release; then a frame.
    void typeKey(int key, char character, int mods = 0)
    {
        gl.window->key(key, 0, 1, mods);
        gl.window->character(static_cast<unsigned char>(character));
        gl.window->key(key, 0, 0, mods);
        frame();
    }
    // Characters as the keyboard types them (without the keys' own events).
    void typeText(const std::string& text)
    {
        for (const char c : text)
            gl.window->character(static_cast<unsigned char>(c));
        frame();
    }
    // The words shown on a layer: on dialogTextLayer, the field's panel.
    std::vector<std::string> wordsOn(float layer)
    {
        std::vector<std::string> words;
        for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Text>())) {
            const auto* text = static_cast<kit::Text*>(c);
            if (text->enabled && text->renderPriority() == layer)
                words.push_back(text->text());
        }
        return words;
    }
    std::vector<std::string> panelWords() { return wordsOn(widgets::dialogTextLayer); }
    // The text on a layer whose words start with `words` (the words', not their outline's).
    kit::Text* textOn(float layer, const std::string& words)
    {
        for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Text>())) {
            auto* text = static_cast<kit::Text*>(c);
            if (text->renderPriority() == layer && text->text().rfind(words, 0) == 0)
                return text;
        }
        return nullptr;
    }
    // Where a text's glyphs are drawn, its entity's place included.
    kit::TextBounds drawn(const kit::Text& text)
    {
        glm::vec3 at = text.origin;
        if (const auto* place = world()->getComponent<kit::Transform>(text.entityId))
            at += place->worldPosition();
        return kit::textBounds(text.text(), text.glyphSize, at, widgets::glyphAdvance(text.glyphSize));
    }
    // The plates drawn on a layer: their left, bottom, right and top edges.
    std::vector<glm::vec4> platesOn(float layer)
    {
        std::vector<glm::vec4> found;
        for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Sprite>())) {
            const auto* plate = static_cast<kit::Sprite*>(c);
            if (!plate->enabled || !plate->hasTag(kit::tagId(widgets::plateTag)) || plate->renderPriority() != layer)
                continue;
            const glm::vec3 centre = world()->getComponent<kit::Transform>(plate->entityId)->worldPosition();
            found.emplace_back(centre.x - plate->width() / 2, centre.y - plate->height() / 2,
                               centre.x + plate->width() / 2, centre.y + plate->height() / 2);
        }
        return found;
    }
    [[nodiscard]] bool menuShown()
    {
        const auto words = wordsOn(widgets::textLayer);
        return std::find(words.begin(), words.end(), "Host a Session") != words.end();
    }
    // Whether anything of the field's panel (its plate, its words) is drawn.
    [[nodiscard]] bool panelDrawn()
    {
        for (kit::Component* c : *world()->getComponentCollection(kit::tagId("renderable")))
            if (c->enabled && c->renderPriority() >= widgets::dialogLayer)
                return true;
        return false;
    }
    // Whether the menu's cursor picture, on a child of the menu's entity, is drawn.
    [[nodiscard]] bool cursorDrawn()
    {
        const auto* menu = world()->getComponent<kit::Transform>(cursor().getEntity().id);
        for (const kit::EntityHandle& child : menu->children)
            if (const auto* picture = world()->getComponent<kit::Sprite>(child.id))
                return picture->enabled;
        ADD_FAILURE() << "the menu has no cursor picture";
        return false;
    }
    [[nodiscard]] bool onPanel(const std::string& line)
    {
        const auto words = panelWords();
        return std::find(words.begin(), words.end(), line) != words.end();
    }
    // Frames of a sixtieth with a pause between them, for answers over loopback.
    void framesWithPauses(int count, const std::function<void()>& between = {})
    {
        for (int i = 0; i < count; ++i) {
            if (between)
                between();
            frame();
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
    }
    // This copy's discovery on a port of its own, looking on `lookOn`, as if
    // another copy of the game were on the machine (ports nobody else uses
    // in the suite, below the ephemeral range).
    void discoveryOn(std::uint16_t port, std::uint16_t lookOn)
    {
        ASSERT_TRUE(discovery->peer->start(port, 64));
        discovery->peer->setMaximumIncomingConnections(64);
        discovery->boundPort = port;
        discovery->ports = {lookOn};
    }
};

kit::NetAddress at(std::uint32_t ip, std::uint16_t port)
{
    return kit::NetAddress{ip, port};
}

TEST_F(NetworkScreen, AloneItOffersRefreshAndHosting)
{
    EXPECT_TRUE(logged("Creating Network Screen"));
    EXPECT_TRUE(logged("Press C to enter an IP to discover manually"));
    ASSERT_EQ(cursor().count(), 2);
    EXPECT_EQ(cursor().option(0).position, glm::vec3(-0.5f, 0.4f, 0.0f));
    EXPECT_EQ(cursor().option(1).position, glm::vec3(-0.5f, 0.3f, 0.0f));
}

TEST_F(NetworkScreen, TheMascotPlaysItsIdleLoop)
{
    const int first = mascotFrameAfter(0.0f);
    ASSERT_GE(first, 0) << "no mascot playing";
    EXPECT_NE(mascotFrameAfter(0.5f), first);
}

TEST_F(NetworkScreen, ListsTheCopiesThatHostInTheirOrder)
{
    discovery->servers[at(0x0A000005, 16520)] = {at(0x0A000005, 16520), true};
    discovery->servers[at(0x0A000007, 16521)] = {at(0x0A000007, 16521), false};
    discovery->servers[at(0x0A000002, 16521)] = {at(0x0A000002, 16521), true};
    rebuild();
    ASSERT_EQ(cursor().count(), 4);
    EXPECT_TRUE(logged("Session found: 10.0.0.5"));
    EXPECT_TRUE(logged("Session found: 10.0.0.2"));
    EXPECT_FALSE(logged("Session found: 10.0.0.7")) << "a copy that does not host is not offered";
    EXPECT_NEAR(cursor().option(2).position.y, 0.2f, 1e-6f);
    EXPECT_NEAR(cursor().option(3).position.y, 0.1f, 1e-6f);
}

TEST_F(NetworkScreen, ASessionWhoseMatchRunsIsOfferedForWatchingAfterTheSessionsThatTakePlayers)
{
    using Running = kit::Announcement::RunningMatch;
    discovery->servers[at(0x0A000005, 16520)] = {at(0x0A000005, 16520), true};
    discovery->servers[at(0x0A000003, 16521)] = {at(0x0A000003, 16521), false, Running{102, 4}};
    discovery->servers[at(0x0A000007, 16521)] = {at(0x0A000007, 16521), false};
    rebuild();
    ASSERT_EQ(cursor().count(), 4) << "the session that takes players, then the running match";
    EXPECT_TRUE(logged("Session found: 10.0.0.5"));
    EXPECT_FALSE(logged("Session found: 10.0.0.3")) << "a running match is not joined as a session";
    EXPECT_TRUE(logged("Match running: 10.0.0.3  in a match, 1:42 left, 4 players"));
    EXPECT_NEAR(cursor().option(3).position.y, 0.112f, 1e-6f);
    const auto words = wordsOn(widgets::textLayer);
    EXPECT_NE(std::find(words.begin(), words.end(), "10.0.0.3  in a match, 1:42 left, 4 players"), words.end());
    EXPECT_NE(std::find(words.begin(), words.end(), "Enter on a match in progress watches it"), words.end());
    EXPECT_EQ(std::find(words.begin(), words.end(), "No hosted session found yet"), words.end());
    for (const std::string& word : words)
        EXPECT_EQ(word.find("10.0.0.7"), std::string::npos) << "a copy that neither hosts nor plays is not told";
}

// At 200 % the words are twice as large: nine sessions no longer fit above
// the help, and the list shows some of its lines at a time, in the places
// of the first ones, scrolled to keep the chosen one in view with the cursor
// beside it.
TEST_F(NetworkScreen, ALongListAtTwiceTheTextSizeShowsFewerLinesAndScrollsToTheChosenOne)
{
    std::vector<std::string> labels{"Refresh", "Host a Session"};
    for (std::uint32_t i = 1; i <= 9; ++i) {
        discovery->servers[at(0x0A000000 + i, 16520)] = {at(0x0A000000 + i, 16520), true};
        labels.push_back("10.0.0." + std::to_string(i));
    }
    // The bottoms of the lines in view, from the top down.
    const auto inView = [&] {
        std::vector<float> bottoms;
        for (const std::string& label : labels) {
            const kit::Text* text = textOn(widgets::textLayer, label);
            if (text && text->enabled)
                bottoms.push_back(drawn(*text).bottom);
        }
        return bottoms;
    };
    rebuild();
    ASSERT_EQ(cursor().count(), 11);
    EXPECT_EQ(inView().size(), 11u) << "at 100 % the whole list has room";

    const TextSize large(200);
    rebuild();
    ASSERT_EQ(cursor().count(), 11);
    EXPECT_FLOAT_EQ(textOn(widgets::textLayer, "Refresh")->glyphSize, 0.15f);
    const std::vector<float> places = inView();
    ASSERT_GE(places.size(), 3u);
    ASSERT_LT(places.size(), 11u);
    // The cursor's picture grows with the words.
    const auto* menuPlace = world()->getComponent<kit::Transform>(cursor().getEntity().id);
    ASSERT_FALSE(menuPlace->children.empty());
    const auto* cursorPicture = world()->getComponent<kit::Sprite>(menuPlace->children.front().id);
    ASSERT_NE(cursorPicture, nullptr);
    EXPECT_NEAR(cursorPicture->width(), 0.18f, 1e-5f);
    // The bar's thumb runs from its track's top (the list's first lines in
    // view) to its bottom (the last).
    const auto barEnds = [&] {
        const std::vector<glm::vec4> track = platesOn(widgets::pictureLayer), thumb = platesOn(widgets::cursorLayer);
        EXPECT_EQ(track.size(), 1u);
        EXPECT_EQ(thumb.size(), 1u);
        return track.empty() || thumb.empty()
                   ? glm::vec2(9.0f)
                   : glm::vec2(track.front().w - thumb.front().w, thumb.front().y - track.front().y);
    };
    for (int step = 1; step <= 11; ++step) {
        tap(down); // from the last line round to the first
        const int chosen = step % 11;
        ASSERT_EQ(cursor().selected, chosen);
        const kit::Text* text = textOn(widgets::textLayer, labels[static_cast<std::size_t>(chosen)]);
        EXPECT_TRUE(text->enabled) << labels[static_cast<std::size_t>(chosen)] << " out of view";
        const std::vector<float> now = inView();
        ASSERT_EQ(now.size(), places.size()) << "at line " << chosen;
        for (std::size_t i = 0; i < now.size(); ++i)
            EXPECT_NEAR(now[i], places[i], 1e-4f) << "line " << i << " in view, at line " << chosen;
        const float cursorY = world()->getComponent<kit::Transform>(cursor().getEntity().id)->position.y - cursorRaise;
        EXPECT_NEAR(cursorY, drawn(*text).bottom + text->glyphSize * 0.5f, 1e-4f) << "the cursor beside it";
        if (chosen == 10) {
            EXPECT_NEAR(barEnds().y, 0.0f, 1e-4f) << "the thumb at the track's foot";
        }
        if (chosen == 0) {
            EXPECT_NEAR(barEnds().x, 0.0f, 1e-4f) << "the thumb at the track's top";
        }
    }
    EXPECT_TRUE(textOn(widgets::textLayer, "Refresh")->enabled);
    EXPECT_FALSE(textOn(widgets::textLayer, "10.0.0.9")->enabled) << "back at the top, the end is out of view";
}

// In a list that scrolls, every line ends short of the scroll bar, a running
// match's long line too (its words fitted to the room left of the bar).
TEST_F(NetworkScreen, InAScrollingListNoLineRunsUnderTheScrollBar)
{
    using Running = kit::Announcement::RunningMatch;
    // Eight sessions and a running match: more lines than the list shows at 200 %.
    for (std::uint32_t i = 1; i <= 8; ++i)
        discovery->servers[at(0x0A000000 + i, 16520)] = {at(0x0A000000 + i, 16520), true};
    discovery->servers[at(0x0A0000C8, 16521)] = {at(0x0A0000C8, 16521), false, Running{3599, 6}};
    const TextSize large(200);
    rebuild();
    ASSERT_EQ(cursor().count(), 11);
    const std::vector<glm::vec4> track = platesOn(widgets::pictureLayer);
    ASSERT_EQ(track.size(), 1u) << "the list scrolls";
    const std::string match = "10.0.0.200  in a match, 59:59 left, 6 players";
    ASSERT_NE(textOn(widgets::textLayer, match), nullptr);
    for (const std::string& words : {std::string("Host a Session"), std::string("10.0.0.8"), match})
        EXPECT_LT(drawn(*textOn(widgets::textLayer, words)).right, track.front().x) << words;
}

// At 200 % the help's sentences take more lines than one each, and the
// panels reach further right to hold the larger words.
TEST_F(NetworkScreen, AtTwiceTheTextSizeTheHelpTakesMoreLinesAndThePanelsAreWider)
{
    const auto widest = [&] {
        float width = 0.0f;
        for (const glm::vec4& plate : platesOn(widgets::plateLayer))
            width = std::max(width, plate.z - plate.x);
        return width;
    };
    const std::string keys = "Up and Down choose, Enter goes, Escape goes back";
    EXPECT_TRUE(test::showsText(*world(), keys));
    const float narrow = widest();
    const TextSize large(200);
    rebuild();
    EXPECT_FALSE(test::showsText(*world(), keys)) << "one line at 100 %, more at 200 %";
    const kit::Text* start = textOn(widgets::textLayer, "Up and Down");
    ASSERT_NE(start, nullptr);
    EXPECT_FLOAT_EQ(start->glyphSize, 0.11f);
    EXPECT_GT(widest(), narrow * 1.5f);
    // The help's plate holds its first line with room over it.
    bool onPlate = false;
    const kit::TextBounds first = drawn(*start);
    for (const glm::vec4& plate : platesOn(widgets::plateLayer))
        if (first.left > plate.x && first.left < plate.z && first.bottom > plate.y && first.bottom < plate.w) {
            onPlate = true;
            EXPECT_GE(plate.w, first.top + 0.03f) << "the help's first line at its plate's top edge";
        }
    EXPECT_TRUE(onPlate);
    for (const std::string& word : wordsOn(widgets::textLayer))
        if (keys.find(word) != std::string::npos && word.size() < keys.size()) {
            const kit::TextBounds b = drawn(*textOn(widgets::textLayer, word));
            EXPECT_LE(b.right, 4.0f / 3.0f) << word;
            EXPECT_GE(b.left, -4.0f / 3.0f) << word;
        }
}

TEST_F(NetworkScreen, ChoosingARunningMatchJoinsItsHostToWatchUnlessItHasEnded)
{
    using Running = kit::Announcement::RunningMatch;
    const auto server = at(0x7F000001, 16520);
    discovery->servers[server] = {server, false, Running{60, 2}};
    rebuild();
    ASSERT_EQ(cursor().count(), 3);
    // The match ended since the list was built: the list is built again and nobody is joined.
    discovery->servers[server].match.reset();
    tap(up);
    tap(enter);
    EXPECT_EQ(count("Creating Network Screen"), 3);
    EXPECT_TRUE(network->isServer()) << "no connection was attempted";

    discovery->servers[server] = {server, false, Running{60, 2}};
    rebuild();
    tap(up);
    tap(enter);
    EXPECT_TRUE(logged("Watching the match at 127.0.0.1"));
    EXPECT_FALSE(network->isServer()) << "it joins the match's host";
    EXPECT_FALSE(logged("Initializing join sreen!")) << "a watcher has no join screen until the next round";
}

TEST_F(NetworkScreen, TheMatchThisCopyLeftIsOfferedToComeBackTo)
{
    using Running = kit::Announcement::RunningMatch;
    char home[] = "/tmp/skyscuffle-note-XXXXXX";
    ASSERT_NE(mkdtemp(home), nullptr);
    const test::ScopedVariable state("XDG_STATE_HOME", home);
    const auto now = static_cast<std::int64_t>(std::time(nullptr));
    const std::uint16_t gamePort = 16519;
    kit::settings::set("tuning.server.port", std::to_string(gamePort)); // the game port a note names
    comeBack::Note note{"127.0.0.1", gamePort, 5, now - 10, {{-1, false, 1, "Blue", 1}}};
    const auto server = at(0x7F000001, 16520);
    auto helpSays = [&](const std::string& line) {
        discovery->servers[server] = {server, false, Running{60, 2}};
        rebuild();
        const auto words = wordsOn(widgets::textLayer);
        return std::find(words.begin(), words.end(), line) != words.end();
    };
    const std::string ours = "Your last match runs on: Enter on it to come back";
    const std::string watches = "Enter on a match in progress watches it";
    comeBack::keep(note);
    EXPECT_TRUE(helpSays(ours));
    note.port = gamePort - 1;
    comeBack::keep(note);
    EXPECT_TRUE(helpSays(watches)) << "a match on another port is another session's";
    tap(up);
    tap(enter);
    EXPECT_TRUE(logged("Watching the match at 127.0.0.1"));
    EXPECT_FALSE(comeBack::pending()) << "another session's match is only watched";
    network->reset();
    note.port = gamePort;
    note.writtenAt = now;
    comeBack::keep(note);
    EXPECT_TRUE(helpSays(watches)) << "a note still kept is a copy's that plays";
    note.writtenAt = now - 10;
    comeBack::keep(note);
    EXPECT_TRUE(helpSays(ours));
    tap(up);
    tap(enter);
    EXPECT_TRUE(logged("Coming back to the match at 127.0.0.1"));
    ASSERT_TRUE(comeBack::pending());
    EXPECT_EQ(comeBack::pending()->secret, 5u);
    comeBack::pending().reset();
    comeBack::forget();
    std::filesystem::remove_all(home);
}

TEST(RunningMatchLine, MinutesSecondsAndPlayers)
{
    using Running = kit::Announcement::RunningMatch;
    EXPECT_EQ(describeRunningMatch(Running{102, 4}), "in a match, 1:42 left, 4 players");
    EXPECT_EQ(describeRunningMatch(Running{5, 1}), "in a match, 0:05 left, 1 player");
    EXPECT_EQ(describeRunningMatch(Running{600, 6}), "in a match, 10:00 left, 6 players");
    EXPECT_EQ(describeRunningMatch(Running{59, 0}), "in a match, 0:59 left, 0 players");
}

TEST_F(NetworkScreen, RefreshBuildsTheScreenAgain)
{
    tap(enter);
    EXPECT_EQ(count("Creating Network Screen"), 2);
}

TEST_F(NetworkScreen, HostingLeadsToTheJoinScreenAndIsAnnounced)
{
    tap(down);
    tap(enter);
    EXPECT_TRUE(logged("Being a server"));
    EXPECT_TRUE(logged("Initializing join sreen!"));
    EXPECT_TRUE(network->isServer());
    EXPECT_TRUE(discovery->hosting);
    // Back out: the main menu ends the session.
    tap(escape);
    EXPECT_FALSE(discovery->hosting);
    EXPECT_FALSE(network->peer->isActive());
}

TEST_F(NetworkScreen, AServerThatStoppedHostingSinceTheListWasBuiltRebuildsTheScreen)
{
    const auto server = at(0x7F000001, 16520);
    discovery->servers[server] = {server, true};
    rebuild();
    ASSERT_EQ(cursor().count(), 3);
    discovery->servers[server].hosting = false;
    tap(up); // the server is the last option
    tap(enter);
    EXPECT_EQ(count("Creating Network Screen"), 3);
    EXPECT_FALSE(logged("Initializing join sreen!"));
    EXPECT_TRUE(network->isServer()) << "no connection was attempted";

    discovery->servers[server].hosting = true;
    rebuild();
    discovery->servers.erase(server);
    tap(up);
    tap(enter);
    EXPECT_EQ(count("Creating Network Screen"), 5);
}

TEST_F(NetworkScreen, JoiningAListedServerConnectsAsAClient)
{
    const auto server = at(0x7F000001, 16520);
    discovery->servers[server] = {server, true};
    rebuild();
    tap(up);
    tap(enter);
    EXPECT_TRUE(logged("Initializing join sreen!"));
    EXPECT_FALSE(network->isServer());
    EXPECT_FALSE(discovery->hosting) << "a client offers nothing to join";
}

TEST_F(NetworkScreen, TheCKeyOpensAFieldThatTakesWhatIsTyped)
{
    EXPECT_FALSE(field().isOpen());
    EXPECT_TRUE(panelWords().empty()) << "the panel shows only while the field is open";
    EXPECT_FALSE(panelDrawn());
    EXPECT_TRUE(menuShown());
    EXPECT_TRUE(cursorDrawn());
    typeKey(c, 'c');
    ASSERT_TRUE(field().isOpen());
    EXPECT_TRUE(panelDrawn());
    EXPECT_FALSE(cursorDrawn()) << "hidden with the menu it belongs to";
    EXPECT_EQ(field().text(), "") << "the opening key's letter is not typed";
    EXPECT_TRUE(onPanel("Address or invite code of a copy"));
    EXPECT_TRUE(onPanel("_"));
    EXPECT_FALSE(menuShown()) << "the panel takes the options' place";

    typeText("10.0.0.9");
    typeKey(c, 'c'); // a letter now, not another field
    typeKey(c, 'C', 1);
    EXPECT_EQ(field().text(), "10.0.0.9cC");
    EXPECT_TRUE(onPanel("10.0.0.9cC_"));
    tap(backspace);
    tap(backspace);
    EXPECT_EQ(field().text(), "10.0.0.9");
    typeText("é\t\n"); // neither an address nor a code has such characters
    EXPECT_EQ(field().text(), "10.0.0.9");
    EXPECT_EQ(count("Creating Network Screen"), 1);
    EXPECT_EQ(cursor().count(), 2);
}

TEST_F(NetworkScreen, ControlVPastesTheClipboardsFirstLine)
{
    typeKey(c, 'c');
    gl.window->setClipboardText("  192.168.1.20:16521 \nsecond line");
    tap(v, 2); // Control+V
    EXPECT_EQ(field().text(), "192.168.1.20:16521");
    tap(v); // V without Control is no paste
    EXPECT_EQ(field().text(), "192.168.1.20:16521");
    gl.window->setClipboardText(std::string(500, '7'));
    tap(v, 2);
    EXPECT_EQ(field().text().size(), AddressField::maxLength) << "no longer than the field";
    // The typed line shows its end, where the typing is, as far as the panel
    // is wide; a message about it is cut short there too.
    EXPECT_TRUE(onPanel("<" + std::string(33, '7') + "_"));
    tap(enter);
    EXPECT_EQ(field().message(), "Not an address: " + field().text());
    EXPECT_TRUE(onPanel("Not an address: 192.168.1.20:16521" + std::string(17, '7') + "..."));
}

// At 200 % the typed line's larger characters are fewer on the panel, as
// many as it has room for, and a long message takes a second line.
TEST_F(NetworkScreen, AtTwiceTheTextSizeTheFieldShowsTheEndOfALongTextAndBreaksItsMessage)
{
    const TextSize large(200);
    rebuild();
    // The list's plate reaches under the field only while the field is open.
    const auto lowestPlate = [&] {
        float lowest = 1.0f;
        for (const glm::vec4& p : platesOn(widgets::plateLayer))
            if (p.w > 0.5f) // a plate from the top: the list's
                lowest = std::min(lowest, p.y);
        return lowest;
    };
    const float closed = lowestPlate();
    typeKey(c, 'c');
    EXPECT_LT(lowestPlate(), closed - 0.05f) << "the list's plate under the open field";
    const std::vector<glm::vec4> plates = platesOn(widgets::dialogLayer);
    ASSERT_EQ(plates.size(), 1u);
    const glm::vec4 plate = plates.front();
    gl.window->setClipboardText(std::string(500, '7'));
    tap(v, 2);
    const kit::Text* typed = textOn(widgets::dialogTextLayer, "<");
    ASSERT_NE(typed, nullptr);
    EXPECT_FLOAT_EQ(typed->glyphSize, 0.15f);
    EXPECT_EQ(typed->text(), "<" + std::string(typed->text().size() - 2, '7') + "_");
    const kit::TextBounds line = drawn(*typed);
    EXPECT_LE(line.right, plate.z - widgets::panelMargin + 1e-4f) << typed->text();
    EXPECT_GT(line.right, plate.z - 0.2f) << "as many characters as the panel has room for";

    tap(enter);
    const kit::Text* message = textOn(widgets::dialogTextLayer, "Not an address:");
    tap(escape);
    EXPECT_NEAR(lowestPlate(), closed, 1e-5f) << "closed, the list's plate ends where it did";
    typeKey(c, 'c');
    gl.window->setClipboardText(std::string(500, '7'));
    tap(v, 2);
    tap(enter);
    message = textOn(widgets::dialogTextLayer, "Not an address:");
    ASSERT_NE(message, nullptr);
    const std::string& said = message->text();
    ASSERT_NE(said.find('\n'), std::string::npos) << said;
    EXPECT_EQ(said.find('\n', said.find('\n') + 1), std::string::npos) << "two lines at most: " << said;
    EXPECT_EQ(said.substr(said.size() - 3), "...");
    EXPECT_FLOAT_EQ(message->glyphSize, 0.1f);
    const kit::TextBounds box = drawn(*message);
    EXPECT_LE(box.right, plate.z - widgets::panelMargin + 1e-4f) << said;
    EXPECT_GE(box.bottom, plate.y) << said;
    EXPECT_GT(box.right, plate.z - 0.2f) << "the first line full: " << said;
    const kit::Text* help = textOn(widgets::dialogTextLayer, "Enter looks");
    ASSERT_NE(help, nullptr);
    EXPECT_NEAR(box.bottom - drawn(*help).bottom, 2 * 0.11f, 1e-4f)
        << "the help as far under the message's second line as under its one line at 100 %, twice that";
}

TEST_F(NetworkScreen, WhileTheFieldIsOpenTheMenuBehindItTakesNoKeys)
{
    typeKey(c, 'c');
    tap(down);
    tap(enter); // with nothing typed: a word on the panel, nothing chosen
    EXPECT_EQ(cursor().selected, 0);
    EXPECT_FALSE(logged("Position Moved Down"));
    EXPECT_FALSE(logged("Being a server"));
    EXPECT_EQ(count("Creating Network Screen"), 1);
    EXPECT_TRUE(onPanel("Type an address or a code first, like 192.168.1.20"));
    EXPECT_TRUE(field().isOpen());
}

TEST_F(NetworkScreen, EnterWithABadAddressSaysSoOnThePanel)
{
    typeKey(c, 'c');
    typeText("10.0.0.300");
    tap(enter);
    EXPECT_TRUE(logged("IP to connect to: 10.0.0.300"));
    EXPECT_EQ(field().message(), "Not an address: 10.0.0.300");
    EXPECT_TRUE(onPanel("Not an address: 10.0.0.300"));
    EXPECT_TRUE(logged("Not an address: 10.0.0.300"));
    EXPECT_FALSE(field().searching());
    EXPECT_TRUE(field().isOpen()) << "open to put it right";
    tap(backspace);
    tap(backspace);
    typeText("9");
    tap(enter);
    EXPECT_EQ(field().message(), "Cannot look: LAN discovery has no port open") << "this copy's discovery has none";
}

TEST_F(NetworkScreen, AnInviteCodeJoinsTheGamePortItSpellsAtOnce)
{
    // The host's own game port, as its router forwards it: not the port this
    // copy would join on, and no discovery port to look on first.
    const kit::NetAddress host = at(0x7F000001, 16533);
    const std::string code = kit::inviteCode::encode(host);
    typeKey(c, 'c');
    std::string typed = code;
    typed[5] = ' '; // read aloud and typed with a blank, in small letters
    for (char& ch : typed)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    typeText(typed);
    tap(enter);
    EXPECT_TRUE(logged("Joining the host of invite code " + code + " at 127.0.0.1:16533"));
    EXPECT_TRUE(logged("Initializing join sreen!"));
    EXPECT_FALSE(network->isServer());
    EXPECT_NE(network->peer->connectionState(host), kit::NetPeer::ConnectionState::notConnected)
        << "connecting to the code's port";
    EXPECT_EQ(network->peer->connectionState(at(0x7F000001, 16532)), kit::NetPeer::ConnectionState::notConnected);
}

TEST_F(NetworkScreen, AMistypedInviteCodeIsRefusedOnTheField)
{
    std::string code = kit::inviteCode::encode(at(0x0B000102, 16519));
    code[3] = code[3] == 'Z' ? 'Y' : 'Z';
    typeKey(c, 'c');
    typeText(code);
    tap(enter);
    EXPECT_EQ(field().message(), "Not an invite code: a character of it is mistyped");
    EXPECT_TRUE(onPanel("Not an invite code: a character of it is mistyped"));
    EXPECT_TRUE(field().isOpen()) << "open to put it right";
    EXPECT_FALSE(field().searching()) << "not looked for as a host name either";
    EXPECT_FALSE(logged("Initializing join sreen!"));
    EXPECT_EQ(network->peer->connectionCount(), 0u);
}

TEST_F(NetworkScreen, EscapeClosesTheFieldAndTheNextEscapeLeaves)
{
    typeKey(c, 'c');
    typeText("10.0.0.9");
    tap(escape);
    EXPECT_FALSE(field().isOpen());
    EXPECT_TRUE(panelWords().empty());
    EXPECT_FALSE(panelDrawn()) << "the plate goes with the words";
    EXPECT_TRUE(menuShown());
    EXPECT_TRUE(cursorDrawn());
    EXPECT_EQ(count("Creating Main Menu"), 0);
    tap(down); // the menu has its keys back
    EXPECT_EQ(cursor().selected, 1);
    typeKey(c, 'c');
    EXPECT_EQ(field().text(), "") << "opened afresh";
    tap(escape);
    tap(escape);
    EXPECT_EQ(count("Creating Main Menu"), 1);
}

TEST_F(NetworkScreen, AJoysticksBOrBackCancelsTheField)
{
    plugPad(0);
    typeKey(c, 'c');
    pressButton(0, 14); // the pad's Down: not for the menu behind
    EXPECT_EQ(cursor().selected, 0);
    pressButton(0, 1);
    EXPECT_FALSE(field().isOpen());
    EXPECT_EQ(count("Creating Main Menu"), 0);
    typeKey(c, 'c');
    pressButton(0, 8);
    EXPECT_FALSE(field().isOpen());
    EXPECT_EQ(count("Creating Main Menu"), 0);
    pressButton(0, 8);
    EXPECT_EQ(count("Creating Main Menu"), 1);
}

TEST_F(NetworkScreen, FramesGoOnWhileTheFieldIsOpen)
{
    const int first = mascotFrameAfter(0.0f);
    ASSERT_GE(first, 0) << "no mascot playing";
    typeKey(c, 'c');
    typeText("10.0.0.9");
    EXPECT_NE(mascotFrameAfter(0.5f), first);
    EXPECT_TRUE(field().isOpen());
}

TEST_F(NetworkScreen, AnAddressThatDoesNotAnswerIsToldAfterAFewSeconds)
{
    discoveryOn(16541, 16542); // nobody on 16542
    typeKey(c, 'c');
    typeText("127.0.0.1");
    tap(enter);
    EXPECT_TRUE(field().searching());
    EXPECT_EQ(field().message(), "Looking for 127.0.0.1 ...");
    framesWithPauses(10);
    EXPECT_TRUE(field().searching()) << "a few seconds to answer";
    // Told once its seconds are over (frame time; or sooner in wall time, on a
    // machine too busy to make 60 frames a second, when the transport gives up).
    framesWithPauses(static_cast<int>(AddressField::patience * 60.0f));
    EXPECT_FALSE(field().searching());
    EXPECT_EQ(field().message(), "No answer from 127.0.0.1 within 5 seconds");
    EXPECT_TRUE(onPanel("No answer from 127.0.0.1 within 5 seconds"));
    EXPECT_EQ(count("Creating Network Screen"), 1);
}

TEST_F(NetworkScreen, AHostNameThatDoesNotResolveIsTold)
{
    discoveryOn(16543, 16544);
    typeKey(c, 'c');
    typeText("no-such-copy.invalid:16544");
    tap(enter);
    for (int i = 0; i < 2000 && field().searching(); ++i) { // the look-up runs beside the frames
        frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(field().message(), "No host is called no-such-copy.invalid");
}

TEST_F(NetworkScreen, ACopyFoundAtATypedAddressIsListed)
{
    discoveryOn(16545, 16546);
    kit::LANDiscoverySystem other({16546}, 64, 1.0f); // another copy, hosting
    ASSERT_EQ(other.boundPort, 16546);
    other.hosting = true;
    typeKey(c, 'c');
    typeText("localhost");
    tap(enter);
    framesWithPauses(240, [&] { other.update(1.0f / 60.0f); });
    EXPECT_TRUE(logged("Session found at localhost"));
    EXPECT_EQ(count("Creating Network Screen"), 2) << "built again, with the session";
    EXPECT_TRUE(logged("Session found: 127.0.0.1"));
    EXPECT_EQ(cursor().count(), 3);
}

TEST_F(NetworkScreen, EscapeBOrBackReturnToTheMainMenu)
{
    tap(escape);
    EXPECT_EQ(count("Creating Main Menu"), 1);
    rebuild();
    plugPad(0);
    pressButton(0, 1);
    EXPECT_EQ(count("Creating Main Menu"), 2);
    rebuild();
    pressButton(0, 8);
    EXPECT_EQ(count("Creating Main Menu"), 3);
}

TEST_F(NetworkScreen, EnteringItEndsTheSession)
{
    discovery->hosting = true;
    network->startAs(kit::NetworkSystem::Role::client);
    rebuild();
    EXPECT_FALSE(discovery->hosting);
    EXPECT_TRUE(network->isServer());
}

} // namespace
