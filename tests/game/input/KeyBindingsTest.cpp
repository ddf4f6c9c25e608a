// The keyboard players' keys: the defaults of both sets, a key taken from
// another action swapped visibly, the game's own keys refused, a binding
// kept by name as the player's choice and read at once by the keyboard pads,
// a bad name in the settings, and the reset.
#include "game/input/KeyBindings.h"
#include "game/input/VirtualGamepadKeyboard.h"

#include "engine/core/Settings.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/input/KeyNames.h"
#include "engine/input/Keys.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace skyscuffle;

using controls::Action;

namespace {

struct KeyBindings : ::testing::Test {
    void SetUp() override { controls::resetToDefaults(); }
    void TearDown() override { controls::resetToDefaults(); }
    static std::string keyName(int set, Action a) { return kit::keys::name(controls::key(set, a)); }
};

} // namespace

TEST_F(KeyBindings, TheDefaultsSplitTheKeyboardAndNoKeyDoesTwoThingsOnOneScreen)
{
    const std::map<Action, std::pair<const char*, const char*>> expected = {
        {Action::up, {"UP", "I"}},          {Action::down, {"DOWN", "K"}},    {Action::left, {"LEFT", "J"}},
        {Action::right, {"RIGHT", "L"}},    {Action::up2, {"W", ""}},         {Action::down2, {"S", ""}},
        {Action::left2, {"A", ""}},         {Action::right2, {"D", ""}},      {Action::dash, {"Z", "U"}},
        {Action::fire, {"X", "O"}},         {Action::special, {"C", "P"}},    {Action::taunt1, {"1", "7"}},
        {Action::taunt2, {"2", "8"}},       {Action::taunt3, {"3", "9"}},     {Action::taunt4, {"4", "0"}},
        {Action::ping, {"V", "M"}},         {Action::join, {"X", "O"}},       {Action::leave, {"Z", "U"}},
        {Action::switchSide, {"T", "Y"}},   {Action::addComputer, {"V", ""}}, {Action::removeComputer, {"C", ""}},
        {Action::pilotStrength, {"B", ""}},
    };
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(controls::actionCount));
    std::map<std::pair<bool, int>, std::string> taken; // (join screen?, key) -> who
    for (const auto& [action, names] : expected) {
        for (int set = 0; set < 2; ++set) {
            const char* name = set == 0 ? names.first : names.second;
            EXPECT_EQ(keyName(set, action), name) << controls::settingKey(set, action);
            EXPECT_EQ(controls::defaultKey(set, action), controls::key(set, action));
            const int key = controls::key(set, action);
            if (key < 0)
                continue;
            const auto [it, fresh] =
                taken.emplace(std::pair{controls::onJoinScreen(action), key}, controls::settingKey(set, action));
            EXPECT_TRUE(fresh) << name << " does both " << it->second << " and " << controls::settingKey(set, action);
        }
    }
    EXPECT_EQ(controls::settingKey(1, Action::fire), "tuning.controls.keyboard2.fire");
    for (Action a : {Action::dash, Action::fire, Action::special, Action::taunt1, Action::taunt4, Action::ping})
        EXPECT_EQ(controls::gamepadButton(a), static_cast<int>(a) - static_cast<int>(Action::dash));
    EXPECT_EQ(controls::gamepadButton(Action::up2), -1);
    EXPECT_EQ(controls::gamepadButton(Action::join), -1);
}

TEST_F(KeyBindings, AKeyTakenFromAnotherActionGivesItTheOldKey)
{
    // Within one set.
    controls::Rebinding done = controls::bind(0, Action::fire, kit::keys::z);
    EXPECT_TRUE(done.changed);
    ASSERT_TRUE(done.swappedWith);
    EXPECT_EQ(*done.swappedWith, std::pair(0, Action::dash));
    EXPECT_EQ(keyName(0, Action::fire), "Z");
    EXPECT_EQ(keyName(0, Action::dash), "X");
    // From the other set, on the same screen only: O is the second player's
    // fire (a match key) and its join (a join-screen key).
    done = controls::bind(0, Action::special, kit::keys::fromName("O"));
    ASSERT_TRUE(done.swappedWith);
    EXPECT_EQ(*done.swappedWith, std::pair(1, Action::fire));
    EXPECT_EQ(keyName(1, Action::fire), "C");
    EXPECT_EQ(keyName(1, Action::join), "O") << "another screen's key stays";
    // A join-screen action swaps with the join screen's holder of the key,
    // never with a match action that has it too (X: Dash now, and Join).
    done = controls::bind(1, Action::join, kit::keys::x);
    ASSERT_TRUE(done.swappedWith);
    EXPECT_EQ(*done.swappedWith, std::pair(0, Action::join));
    EXPECT_EQ(keyName(0, Action::join), "O");
    EXPECT_EQ(keyName(0, Action::dash), "X") << "the match's X stays where it was";
    // A free key takes nothing from anyone.
    done = controls::bind(1, Action::up2, kit::keys::space);
    EXPECT_TRUE(done.changed);
    EXPECT_FALSE(done.swappedWith);
    // An action with no key gives its emptiness away.
    done = controls::bind(1, Action::down2, kit::keys::space);
    ASSERT_TRUE(done.swappedWith);
    EXPECT_EQ(controls::key(1, Action::up2), -1);
    EXPECT_EQ(kit::settings::get<std::string>(controls::settingKey(1, Action::up2), "?"), "");
}

TEST_F(KeyBindings, TheGamesOwnKeysAndTheSameKeyAgainChangeNothing)
{
    for (int key : {kit::keys::escape, kit::keys::enter, kit::keys::keypadEnter, kit::keys::f11, -1, 999}) {
        EXPECT_FALSE(controls::bind(0, Action::fire, key).changed) << key;
        EXPECT_EQ(keyName(0, Action::fire), "X");
    }
    EXPECT_FALSE(controls::bind(0, Action::fire, kit::keys::x).changed);
    EXPECT_FALSE(kit::settings::isPlayers(controls::settingKey(0, Action::fire)));
}

TEST_F(KeyBindings, ABindingIsThePlayersChoiceByNameAndThePadsReadItAtOnce)
{
    kit::Window window;
    kit::Application app{&window, nullptr};
    auto world = std::make_shared<kit::World>();
    app.setWorld(world);
    auto* first = world->emplaceComponent<VirtualGamepadKeyboard>(world->createEntity());
    auto* second = world->emplaceComponent<VirtualGamepadKeyboard>(world->createEntity(), 1);
    const auto hold = [&](int key, bool down) { window.key(key, 0, down ? 1 : 0, 0); };

    controls::bind(0, Action::fire, kit::keys::space);
    EXPECT_TRUE(kit::settings::isPlayers("tuning.controls.keyboard1.fire"));
    EXPECT_EQ(kit::settings::get<std::string>("tuning.controls.keyboard1.fire", "?"), "SPACE");
    hold(kit::keys::space, true);
    EXPECT_TRUE(first->isButtonDown(1));
    EXPECT_FALSE(second->isButtonDown(1));
    hold(kit::keys::space, false);
    hold(kit::keys::x, true);
    EXPECT_FALSE(first->isButtonDown(1)) << "the old key no longer fires";
    hold(kit::keys::x, false);

    // The second set: IJKL steer, O fires; the first player's keys do nothing to it.
    hold(kit::keys::fromName("I"), true);
    hold(kit::keys::fromName("L"), true);
    EXPECT_NEAR(second->direction().x, 0.7071f, 1e-3f);
    EXPECT_NEAR(second->direction().y, 0.7071f, 1e-3f);
    EXPECT_EQ(first->direction(), glm::vec2(0.0f));
    hold(kit::keys::fromName("I"), false);
    hold(kit::keys::fromName("L"), false);
    hold(kit::keys::w, true);
    EXPECT_EQ(second->direction(), glm::vec2(0.0f));
    EXPECT_EQ(first->direction(), glm::vec2(0.0f, 1.0f));
    hold(kit::keys::w, false);
    hold(kit::keys::fromName("O"), true);
    EXPECT_TRUE(second->isButtonDown(1));
    EXPECT_FALSE(first->isButtonDown(1));
    std::unique_ptr<VirtualGamepad> copy(second->clone());
    EXPECT_EQ(static_cast<VirtualGamepadKeyboard*>(copy.get())->keySet, 1) << "a clone keeps its keys";

    controls::resetToDefaults();
    EXPECT_FALSE(kit::settings::isPlayers("tuning.controls.keyboard1.fire"));
    EXPECT_EQ(keyName(0, Action::fire), "X");
}

TEST_F(KeyBindings, ABadNameCostsOneLineAndTheDefault)
{
    ::testing::internal::CaptureStderr();
    kit::settings::setPlayer("tuning.controls.keyboard2.ping", "NOT_A_KEY");
    EXPECT_EQ(keyName(1, Action::ping), "M");
    kit::settings::setPlayer("tuning.controls.keyboard2.dash", "ESCAPE"); // the game's own
    EXPECT_EQ(keyName(1, Action::dash), "U");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Key binding controls.keyboard2.ping is \"NOT_A_KEY\", not a key a player may use; using M\n"
              "Key binding controls.keyboard2.dash is \"ESCAPE\", not a key a player may use; using U\n");
    kit::settings::setPlayer("tuning.controls.keyboard2.ping", "space");
    EXPECT_EQ(keyName(1, Action::ping), "SPACE") << "names are read in any case";
}
