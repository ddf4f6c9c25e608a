// The Options screen and the keys screens, driven by key and pad through the
// real frame loop: each line changes its setting at once and keeps it in the
// player's settings file; keys are bound, swapped and reset.
#include "ScreenFixture.h"

#include "game/ai/PilotSkill.h"
#include "game/input/KeyBindings.h"
#include "game/screens/OptionsMenu.h"
#include "game/screens/OptionsScreen.h"
#include "game/screens/ScreenKeys.h"

#include "engine/core/Settings.h"
#include "engine/input/KeyNames.h"
#include "engine/render/Text.h"
#include "support/TempDirectory.h"

#include <fstream>

using namespace skyscuffle;

namespace {

using namespace kit::keys;

// The Options screen's lines, top to bottom.
enum Line { music, effects, fullscreen, windowSize, resolution, vsync, pilots, deadZone, keys1, keys2, reset, back };

class Options : public test::Screens {
protected:
    void SetUp() override
    {
        Screens::SetUp();
        std::string pattern = (std::filesystem::temp_directory_path() / "skyscuffle-options-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        home_ = pattern;
        kit::settings::setPlayerFile(file());
        start(createOptionsScreen);
        frame();
    }
    void TearDown() override
    {
        // The choices are process-wide: none outlives its test.
        for (const char* key : {"tuning.sound.musicVolume", "tuning.sound.effectsVolume", "tuning.window.fullscreen",
                                "tuning.window.size.x", "tuning.window.size.y", "tuning.window.verticalSync",
                                "tuning.ai.strength", "tuning.joystick.deadZone"})
            kit::settings::clearPlayer(key);
        controls::resetToDefaults();
        kit::settings::setPlayerFile({});
        Screens::TearDown();
        std::filesystem::remove_all(home_);
    }
    std::filesystem::path file() const { return home_ / "skyscuffle" / "settings.csv"; }
    std::string kept() const
    {
        std::ifstream in(file());
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    OptionsMenu& menu() const
    {
        return *static_cast<OptionsMenu*>(world()->getComponentCollection(kit::typeId<OptionsMenu>())->first());
    }
    void chooseLine(int line)
    {
        while (menu().selected != line)
            tap(menu().selected < line ? down : up);
    }
    std::string shown() const
    {
        std::string all;
        for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Text>()))
            all += static_cast<kit::Text*>(c)->text() + "\n";
        return all;
    }
    bool shows(const std::string& text) const { return shown().find(text) != std::string::npos; }

    std::filesystem::path home_;
};

} // namespace

TEST_F(Options, EveryLineIsShownWithItsValueAndTheFirstIsChosen)
{
    EXPECT_TRUE(logged("Creating Options Screen"));
    for (const char* label : {"> Music volume", "  Effects volume", "  Full screen", "  Window size", "  Resolution scale", "  Vertical sync",
                              "  Computer pilots", "  Pad dead zone", "  Keyboard keys", "  Keyboard 2 keys",
                              "  Reset to defaults", "  Back"})
        EXPECT_TRUE(shows(std::string(label) + "\n")) << label;
    for (const char* value : {"100%", "Off", "800 x 600", "Auto", "On", "Normal", "0%"})
        EXPECT_TRUE(shows(std::string(value) + "\n")) << value;
    EXPECT_FALSE(std::filesystem::exists(file())) << "nothing is written before the player changes something";
}

TEST_F(Options, VolumesStepByTenthsWithinTheirRangeAndAreKeptAtOnce)
{
    chooseLine(effects);
    tap(left);
    EXPECT_FLOAT_EQ(SoundManager::effectsVolume(), 0.9f);
    EXPECT_TRUE(shows("90%\n"));
    EXPECT_NE(kept().find("sound.effectsVolume,0.9\n"), std::string::npos) << kept();
    tap(right);
    tap(right); // no louder than full
    EXPECT_FLOAT_EQ(SoundManager::effectsVolume(), 1.0f);
    chooseLine(music);
    for (int i = 0; i < 12; ++i)
        tap(left); // no quieter than silent
    EXPECT_FLOAT_EQ(SoundManager::musicVolume(), 0.0f);
    EXPECT_NE(kept().find("sound.musicVolume,0\n"), std::string::npos) << kept();
    EXPECT_FLOAT_EQ(SoundManager::effectsVolume(), 1.0f) << "each volume its own";
}

TEST_F(Options, PilotsSyncSizeAndDeadZoneChangeAndStopAtTheirEnds)
{
    chooseLine(pilots);
    tap(right);
    EXPECT_EQ(defaultStrength(), PilotStrength::hard);
    tap(right);
    EXPECT_EQ(defaultStrength(), PilotStrength::hard) << "hard is the last";
    tap(left);
    tap(left);
    tap(left);
    EXPECT_EQ(defaultStrength(), PilotStrength::easy);
    EXPECT_TRUE(shows("Easy\n"));
    EXPECT_NE(kept().find("ai.strength,easy\n"), std::string::npos);

    chooseLine(vsync);
    const bool before = kit::settings::get<bool>("tuning.window.verticalSync", true);
    tap(enter);
    EXPECT_EQ(kit::settings::get<bool>("tuning.window.verticalSync", true), !before);
    EXPECT_EQ(app->verticalSync, !before) << "the application waits for the display, or not, at once";
    tap(enter);
    EXPECT_EQ(app->verticalSync, before);
    tap(enter);
    EXPECT_NE(kept().find(std::string("window.verticalSync,") + (before ? "0" : "1")), std::string::npos);

    chooseLine(windowSize);
    tap(right);
    EXPECT_EQ(kit::settings::get<glm::vec2>("tuning.window.size", glm::vec2(0.0f)), glm::vec2(1024.0f, 768.0f));
    EXPECT_TRUE(shows("1024 x 768\n"));
    for (int i = 0; i < 20 && gl.window->size() != glm::ivec2(1024, 768); ++i)
        frame(); // the display answers the resize within a few frames
    EXPECT_EQ(gl.window->size(), glm::ivec2(1024, 768)) << "the window takes the size at once";
    tap(left);
    tap(left);
    EXPECT_EQ(kit::settings::get<glm::vec2>("tuning.window.size", glm::vec2(0.0f)), glm::vec2(1920.0f, 1080.0f))
        << "the sizes go round";

    chooseLine(deadZone);
    tap(right);
    tap(right);
    EXPECT_FLOAT_EQ(kit::settings::get<float>("tuning.joystick.deadZone", -1.0f), 0.1f);
    EXPECT_TRUE(shows("10%\n"));
}

TEST_F(Options, TheResolutionScaleStepsThroughAutoAndItsScalesBothWays)
{
    chooseLine(resolution);
    const auto scale = [] { return kit::settings::get<float>("tuning.renderer.resolutionScale", -1.0f); };
    tap(right);
    EXPECT_FLOAT_EQ(scale(), 1.0f);
    tap(right);
    EXPECT_FLOAT_EQ(scale(), 0.75f);
    EXPECT_TRUE(shows("75%\n"));
    tap(right);
    EXPECT_FLOAT_EQ(scale(), 0.5f);
    EXPECT_NE(kept().find("renderer.resolutionScale,0.5\n"), std::string::npos);
    tap(right);
    EXPECT_FLOAT_EQ(scale(), 0.0f) << "after the smallest comes automatic";
    EXPECT_TRUE(shows("Auto\n"));
    tap(left);
    EXPECT_FLOAT_EQ(scale(), 0.5f) << "and back";
    kit::settings::setPlayer("tuning.renderer.resolutionScale", "0.6");
    tap(right);
    EXPECT_FLOAT_EQ(scale(), 0.0f) << "a scale of the player's own steps on from the nearest listed one";
}

TEST_F(Options, ResetPutsEveryChoiceBackAndKeepsNoneOfThem)
{
    chooseLine(resolution);
    tap(left);
    chooseLine(effects);
    tap(left);
    chooseLine(pilots);
    tap(left);
    controls::bind(0, controls::Action::fire, space);
    chooseLine(reset);
    tap(enter);
    EXPECT_TRUE(logged("Options back to their defaults"));
    EXPECT_FLOAT_EQ(SoundManager::effectsVolume(), 1.0f);
    EXPECT_EQ(defaultStrength(), PilotStrength::normal);
    EXPECT_EQ(controls::key(0, controls::Action::fire), x);
    EXPECT_EQ(kept().find(','), std::string::npos) << "only the file's note is left: " << kept();
}

TEST_F(Options, APadDrivesTheMenuAndBackLeavesIt)
{
    plugPad(1);
    pressButton(1, kit::pad::down);
    pressButton(1, kit::pad::down);
    EXPECT_EQ(menu().selected, fullscreen);
    pressButton(1, kit::pad::up);
    pressButton(1, 15); // left on the directional pad
    EXPECT_FLOAT_EQ(SoundManager::effectsVolume(), 0.9f);
    pressButton(1, kit::pad::b);
    EXPECT_TRUE(logged("Creating Main Menu"));
}

TEST_F(Options, EscapeAndBackReturnToTheMainMenu)
{
    tap(escape);
    EXPECT_TRUE(logged("Creating Main Menu"));
    app->setWorld(std::make_shared<kit::World>(createOptionsScreen));
    frame();
    chooseLine(back);
    tap(enter);
    EXPECT_EQ(count("Creating Main Menu"), 2);
}

TEST_F(Options, AKeyIsBoundSwappedVisiblyAndTheGamesOwnKeysAreRefused)
{
    chooseLine(keys1);
    tap(enter);
    ASSERT_TRUE(logged("Creating Controls Screen for keyboard 1"));
    const int fire = static_cast<int>(controls::Action::fire);
    while (menu().selected != fire)
        tap(down);
    EXPECT_TRUE(shows("> Fire\n"));
    tap(enter);
    EXPECT_TRUE(shows("Press a key for Fire (Escape keeps it)\n"));
    tap(space);
    EXPECT_TRUE(logged("Bound controls.keyboard1.fire to SPACE"));
    EXPECT_EQ(controls::key(0, controls::Action::fire), space);
    EXPECT_TRUE(shows("SPACE\n"));
    EXPECT_NE(kept().find("controls.keyboard1.fire,SPACE\n"), std::string::npos) << kept();

    tap(up); // Dash
    tap(enter);
    tap(space);
    EXPECT_TRUE(shows("Dash: SPACE, swapped: Fire is Z now\n")) << shown();
    EXPECT_EQ(controls::key(0, controls::Action::fire), z);

    tap(enter);
    tap(f11);
    EXPECT_TRUE(shows("That key is the game's own: choose another\n"));
    EXPECT_EQ(controls::key(0, controls::Action::dash), space);
    tap(escape);
    EXPECT_EQ(controls::key(0, controls::Action::dash), space) << "Escape keeps the key";
    EXPECT_FALSE(shows("That key is the game's own")) << "and ends the waiting";
    EXPECT_EQ(count("Creating Options Screen"), 1) << "nor leaves the screen";
    tap(escape);
    EXPECT_EQ(count("Creating Options Screen"), 2);
}

TEST_F(Options, ARefusedKeyLeavesTheKeyAwaitedUntilOneIsBoundOrEscapeCancels)
{
    chooseLine(keys1);
    tap(enter);
    const int fire = static_cast<int>(controls::Action::fire);
    while (menu().selected != fire)
        tap(down);
    const std::string refused = "That key is the game's own: choose another\n";
    tap(enter);
    tap(enter); // the game's own
    EXPECT_TRUE(shows(refused)) << shown();
    frames(5);
    EXPECT_TRUE(shows(refused)) << "the notice stays";
    EXPECT_EQ(controls::key(0, controls::Action::fire), x);
    tap(down); // a key to bind, not a move
    EXPECT_EQ(menu().selected, fire) << "the key went to the binding, not to the menu";
    EXPECT_EQ(controls::key(0, controls::Action::fire), down);
    EXPECT_TRUE(logged("Bound controls.keyboard1.fire to DOWN"));
    EXPECT_FALSE(shows("That key is the game's own")) << shown();
    EXPECT_TRUE(shows("Fire: DOWN")) << shown();
    EXPECT_NE(kept().find("controls.keyboard1.fire,DOWN\n"), std::string::npos) << kept();
    tap(up);
    EXPECT_EQ(menu().selected, fire - 1) << "once bound, the keys drive the menu again";

    tap(enter); // Dash: refused twice, then Escape
    tap(f11);
    tap(kit::keys::keypadEnter);
    EXPECT_TRUE(shows(refused)) << shown();
    tap(escape);
    EXPECT_FALSE(shows("That key is the game's own")) << shown();
    EXPECT_EQ(controls::key(0, controls::Action::dash), z) << "Escape keeps the key";
    EXPECT_EQ(count("Creating Options Screen"), 1) << "and stays on the screen";
    tap(up);
    EXPECT_EQ(menu().selected, fire - 2) << "the waiting is over";
}

TEST_F(Options, TheSecondKeyboardsScreenSwapsWithTheFirstsKeysAndHasNoComputerPilots)
{
    chooseLine(keys2);
    tap(enter);
    ASSERT_TRUE(logged("Creating Controls Screen for keyboard 2"));
    EXPECT_FALSE(shows("Add a computer pilot"));
    tap(enter); // Steer up
    tap(up);    // the first keyboard's up arrow
    EXPECT_TRUE(shows("Steer up: UP, swapped: keyboard 1 Steer up is I now\n")) << shown();
    EXPECT_EQ(controls::key(1, controls::Action::up), up);
    EXPECT_EQ(controls::key(0, controls::Action::up), kit::keys::fromName("I"));
}
