// The Options screen and the keys screens, driven by key and pad through the
// real frame loop: each line changes its setting at once and keeps it in the
// player's settings file; the window's lines show the window as it is, even
// when the command line chose it; keys are bound, swapped and reset.
#include "ScreenFixture.h"

#include "game/screens/ControlsScreen.h"
#include "game/screens/OptionsScreen.h"
#include "game/screens/ScreenScene.h"

#include "game/ai/PilotSkill.h"
#include "game/effects/EffectSettings.h"
#include "game/input/InputSettings.h"
#include "game/input/KeyBindings.h"
#include "game/looks/LookSettings.h"
#include "game/widgets/RowMenu.h"
#include "game/widgets/WidgetKeys.h"

#include "support/TempDirectory.h"

#include "engine/core/FontBytes.h"
#include "engine/core/Settings.h"
#include "engine/core/Translation.h"
#include "engine/input/KeyNames.h"
#include "engine/render/Text.h"

#include <chrono>
#include <cmath>
#include <fstream>

using namespace skyscuffle;

namespace {

using namespace kit::keys;

// The Options screen's lines, top to bottom.
enum Line {
    music,
    effects,
    fullscreen,
    windowSize,
    resolution,
    vsync,
    pilots,
    deadZone,
    keys1,
    keys2,
    padAutoFire,
    calmerFlashes,
    language,
    textSize,
    reset,
    back
};

class Options : public test::Screens {
protected:
    // The window the game opens by default.
    Options() : Screens(800, 600) {}

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
        for (const char* key :
             {"tuning.sound.musicVolume", "tuning.sound.effectsVolume", "tuning.window.fullscreen",
              "tuning.window.size.x", "tuning.window.size.y", "tuning.window.verticalSync", "tuning.ai.strength",
              "tuning.joystick.deadZone", "tuning.renderer.resolutionScale", "tuning.interface.language",
              "tuning.interface.textSize", "tuning.effects.calmerFlashes"}) {
            kit::settings::clearForRun(key);
            kit::settings::clearPlayer(key);
        }
        for (const kit::Setting<bool>& chosen : inputSettings::keyboardAutoFire)
            kit::settings::clearPlayer(chosen.key());
        for (const kit::Setting<bool>& chosen : inputSettings::padAutoFire)
            kit::settings::clearPlayer(chosen.key());
        controls::resetToDefaults();
        kit::setLanguage("en");
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
    RowMenu& menu() const
    {
        return *static_cast<RowMenu*>(world()->getComponentCollection(kit::typeId<RowMenu>())->first());
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
    // The value drawn on the line of a label (chosen or not), to its right.
    std::string rowValue(const std::string& label) const
    {
        std::vector<const kit::Text*> texts;
        for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Text>()))
            texts.push_back(static_cast<const kit::Text*>(c));
        for (const kit::Text* name : texts) {
            if (name->text() != "> " + label && name->text() != "  " + label)
                continue;
            // (Past the label's own outline, drawn a hair to either side.)
            for (const kit::Text* value : texts) {
                if (std::abs(value->origin.y - name->origin.y) < 1e-5f && value->origin.x > name->origin.x + 0.1f)
                    return value->text();
            }
        }
        return "(no value beside " + label + ")";
    }
    // The game's window as the command line has it open: the run's values set
    // as start-up sets them, the window as it opens by them.
    void startedWith(bool fullscreen, glm::ivec2 size)
    {
        kit::settings::setForRun("tuning.window.fullscreen", fullscreen ? "1" : "0");
        kit::settings::setForRun("tuning.window.size.x", std::to_string(size.x));
        kit::settings::setForRun("tuning.window.size.y", std::to_string(size.y));
        gl.window->setWindowedSize(size);
        gl.window->setFullscreen(fullscreen);
        settle(fullscreen ? kit::Window::desktopSize() : size);
    }
    // Frames until the display has given the window this size. The test's
    // keys come straight to the window, not through the display as a
    // player's do, so they could otherwise overtake its answers.
    void settle(glm::ivec2 size)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (gl.window->size() != size && std::chrono::steady_clock::now() < until)
            frame();
        ASSERT_EQ(gl.window->size(), size) << "the display never gave the window " << size.x << " x " << size.y;
    }

    std::filesystem::path home_;
};

} // namespace

TEST_F(Options, EveryLineIsShownWithItsValueAndTheFirstIsChosen)
{
    EXPECT_TRUE(logged("Creating Options Screen"));
    for (const char* label :
         {"> Music volume", "  Effects volume", "  Full screen", "  Window size", "  Resolution scale",
          "  Vertical sync", "  Computer pilots", "  Pad dead zone", "  Keyboard keys", "  Keyboard 2 keys",
          "  Pad auto-fire", "  Calmer flashes", "  Reset to defaults", "  Back"})
        EXPECT_TRUE(shows(std::string(label) + "\n")) << label;
    for (const char* value : {"100%", "Off", "800 x 600", "Auto", "On", "Normal", "0%"})
        EXPECT_TRUE(shows(std::string(value) + "\n")) << value;
    EXPECT_FALSE(std::filesystem::exists(file())) << "nothing is written before the player changes something";
    // A still page needs no more than 30 frames a second, and none while nothing changes.
    EXPECT_EQ(world()->maxFrameRate, screens::stillScreenFrameRate);
    EXPECT_TRUE(world()->drawsOnChange);
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

TEST_F(Options, FullScreenChosenOnTheCommandLineSwitchesBothWaysAndTheLineFollows)
{
    startedWith(true, glm::ivec2(1024, 768)); // --fullscreen --size 1024x768
    ASSERT_TRUE(gl.window->isFullscreen()) << "the display has no monitor";
    chooseLine(fullscreen);
    EXPECT_EQ(rowValue("Full screen"), "On");
    const glm::ivec2 desktop = kit::Window::desktopSize();
    tap(enter);
    EXPECT_FALSE(gl.window->isFullscreen());
    EXPECT_EQ(rowValue("Full screen"), "Off");
    EXPECT_FALSE(kit::settings::get<bool>("tuning.window.fullscreen", true))
        << "the player's choice outranks the command line's for the rest of the run";
    EXPECT_NE(kept().find("window.fullscreen,0\n"), std::string::npos) << kept();
    settle(glm::ivec2(1024, 768));
    tap(right);
    EXPECT_TRUE(gl.window->isFullscreen()) << "and back";
    EXPECT_EQ(rowValue("Full screen"), "On");
    EXPECT_NE(kept().find("window.fullscreen,1\n"), std::string::npos) << kept();
    settle(desktop);
    tap(left);
    EXPECT_FALSE(gl.window->isFullscreen());
    EXPECT_EQ(rowValue("Full screen"), "Off");
    settle(glm::ivec2(1024, 768));
    EXPECT_EQ(rowValue("Window size"), "1024 x 768");
    EXPECT_EQ(kept().find("1024"), std::string::npos) << "the command line's size is never kept: " << kept();
}

TEST_F(Options, AWindowSizeChosenOnTheCommandLineStepsOnBothWays)
{
    startedWith(false, glm::ivec2(1280, 720)); // --windowed --size 1280x720
    chooseLine(windowSize);
    EXPECT_EQ(rowValue("Window size"), "1280 x 720");
    tap(right);
    EXPECT_EQ(rowValue("Window size"), "1366 x 768");
    EXPECT_EQ(kit::settings::get<glm::vec2>("tuning.window.size", glm::vec2(0.0f)), glm::vec2(1366.0f, 768.0f));
    EXPECT_NE(kept().find("window.size.x,1366\nwindow.size.y,768\n"), std::string::npos) << kept();
    settle(glm::ivec2(1366, 768));
    tap(right);
    EXPECT_EQ(rowValue("Window size"), "1600 x 900");
    settle(glm::ivec2(1600, 900));
    tap(left);
    settle(glm::ivec2(1366, 768));
    tap(left);
    EXPECT_EQ(rowValue("Window size"), "1280 x 720");
    settle(glm::ivec2(1280, 720));
    EXPECT_NE(kept().find("window.size.x,1280\nwindow.size.y,720\n"), std::string::npos) << kept();
    EXPECT_FALSE(kit::settings::get<bool>("tuning.window.fullscreen", true))
        << "the command line's other choice still holds";
    EXPECT_EQ(kept().find("fullscreen"), std::string::npos) << kept();
}

TEST_F(Options, TheWindowLinesShowTheWindowWhereverF11OrTheDisplayPutIt)
{
    gl.window->setFullscreen(true); // F11: the settings still say a window
    ASSERT_TRUE(gl.window->isFullscreen()) << "the display has no monitor";
    settle(kit::Window::desktopSize());
    EXPECT_EQ(rowValue("Full screen"), "On");
    chooseLine(fullscreen);
    tap(enter);
    EXPECT_FALSE(gl.window->isFullscreen());
    EXPECT_EQ(rowValue("Full screen"), "Off");
    EXPECT_NE(kept().find("window.fullscreen,0\n"), std::string::npos) << kept();
    settle(glm::ivec2(800, 600));

    gl.window->setWindowedSize(glm::ivec2(900, 700)); // none of the listed sizes
    settle(glm::ivec2(900, 700));
    EXPECT_EQ(rowValue("Window size"), "900 x 700");
    chooseLine(windowSize);
    tap(right);
    EXPECT_EQ(rowValue("Window size"), "1024 x 768") << "the listed size after the one shown";
}

TEST_F(Options, ResetPutsTheWindowBackToTheDefaultsOverTheCommandLine)
{
    startedWith(true, glm::ivec2(1280, 720));
    ASSERT_TRUE(gl.window->isFullscreen()) << "the display has no monitor";
    chooseLine(reset);
    tap(enter);
    EXPECT_FALSE(gl.window->isFullscreen());
    EXPECT_FALSE(kit::settings::get<bool>("tuning.window.fullscreen", true));
    settle(glm::ivec2(800, 600));
    EXPECT_EQ(rowValue("Full screen"), "Off");
    EXPECT_EQ(rowValue("Window size"), "800 x 600");
    EXPECT_EQ(kept().find(','), std::string::npos)
        << "nothing of the player's, nothing of the command line's: " << kept();
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

TEST_F(Options, CalmerFlashesSwitchAtOnceAreKeptAndResetTurnsThemOff)
{
    chooseLine(calmerFlashes);
    EXPECT_EQ(rowValue("Calmer flashes"), "Off");
    tap(enter);
    EXPECT_TRUE(effectSettings::calmerFlashes.value());
    EXPECT_EQ(rowValue("Calmer flashes"), "On");
    EXPECT_NE(kept().find("effects.calmerFlashes,1\n"), std::string::npos) << kept();
    tap(left);
    EXPECT_FALSE(effectSettings::calmerFlashes.value());
    EXPECT_NE(kept().find("effects.calmerFlashes,0\n"), std::string::npos) << kept();
    tap(right);
    EXPECT_TRUE(effectSettings::calmerFlashes.value());
    chooseLine(reset);
    tap(enter);
    EXPECT_FALSE(effectSettings::calmerFlashes.value());
    EXPECT_EQ(rowValue("Calmer flashes"), "Off");
    EXPECT_EQ(kept().find("calmerFlashes"), std::string::npos) << kept();
}

TEST_F(Options, PadAutoFireStepsFromOffToAllPadsToEachPadAloneAndResetEndsIt)
{
    const auto padsOn = [] {
        std::string on;
        for (int slot = 0; slot < inputSettings::autoFirePads; ++slot)
            on += inputSettings::padAutoFire[slot].value() ? '1' : '0';
        return on;
    };
    chooseLine(padAutoFire);
    EXPECT_EQ(rowValue("Pad auto-fire"), "Off");
    tap(right);
    EXPECT_EQ(rowValue("Pad auto-fire"), "All pads");
    EXPECT_EQ(padsOn(), std::string(16, '1'));
    EXPECT_NE(kept().find("input.autoFire.pad16,1\n"), std::string::npos) << kept();
    tap(right);
    EXPECT_EQ(rowValue("Pad auto-fire"), "Pad 1");
    EXPECT_EQ(padsOn(), "1" + std::string(15, '0'));
    tap(enter);
    EXPECT_EQ(rowValue("Pad auto-fire"), "Pad 2");
    EXPECT_EQ(padsOn(), "01" + std::string(14, '0'));
    for (int i = 0; i < 3; ++i)
        tap(left);
    EXPECT_EQ(rowValue("Pad auto-fire"), "Off");
    EXPECT_EQ(padsOn(), std::string(16, '0'));
    tap(left);
    EXPECT_EQ(rowValue("Pad auto-fire"), "Pad 16") << "round from the first to the last";
    // Pads chosen in the settings file show as they are.
    for (const char* pad : {"pad1", "pad3"})
        kit::settings::setPlayer(std::string("tuning.input.autoFire.") + pad, "1");
    kit::settings::setPlayer("tuning.input.autoFire.pad16", "0");
    frame();
    EXPECT_EQ(rowValue("Pad auto-fire"), "Pads 1, 3");
    kit::settings::setPlayer("tuning.input.autoFire.keyboard2", "1");
    chooseLine(reset);
    tap(enter);
    EXPECT_EQ(padsOn(), std::string(16, '0'));
    EXPECT_FALSE(inputSettings::keyboardAutoFire[1].value()) << "the keyboards' auto-fire goes too";
    EXPECT_EQ(rowValue("Pad auto-fire"), "Off");
}

TEST_F(Options, EachKeyboardHasItsOwnAutoFireLineBeforeTheReset)
{
    chooseLine(keys2);
    tap(enter);
    ASSERT_TRUE(logged("Creating Controls Screen for keyboard 2"));
    while (menu().selected < menu().count() - 1 && !shows("> Auto-fire\n"))
        tap(down);
    ASSERT_TRUE(shows("> Auto-fire\n")) << shown();
    EXPECT_EQ(menu().rows[static_cast<std::size_t>(menu().selected) + 1].label, "Reset keys to defaults");
    EXPECT_EQ(rowValue("Auto-fire"), "Off");
    tap(enter);
    EXPECT_EQ(rowValue("Auto-fire"), "On");
    EXPECT_TRUE(inputSettings::keyboardAutoFire[1].value());
    EXPECT_FALSE(inputSettings::keyboardAutoFire[0].value()) << "the second keyboard's choice alone";
    EXPECT_NE(kept().find("input.autoFire.keyboard2,1\n"), std::string::npos) << kept();
    tap(right);
    EXPECT_EQ(rowValue("Auto-fire"), "Off");
    tap(left);
    EXPECT_EQ(rowValue("Auto-fire"), "On");
    tap(down);
    tap(enter);
    EXPECT_TRUE(shows("Every key back to its default\n"));
    EXPECT_EQ(rowValue("Auto-fire"), "On") << "the keys' reset is the keys' alone";
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

// The size of a line's words as drawn (its label, chosen or not).
float labelSize(kit::World& world, const std::string& label)
{
    for (kit::Component* c : *world.getComponentCollection(kit::typeId<kit::Text>())) {
        const auto* text = static_cast<kit::Text*>(c);
        if (text->text() == "> " + label || text->text() == "  " + label)
            return text->glyphSize;
    }
    return 0.0f;
}

TEST_F(Options, TheTextSizeStepsByQuartersUpToTwiceAndTheScreenGrowsWithIt)
{
    chooseLine(textSize);
    EXPECT_EQ(rowValue("Text size"), "100%");
    EXPECT_EQ(menu().bar.shown, 0) << "every line in view at the first size";
    const float first = labelSize(*world(), "Music volume");
    tap(left);
    frame();
    EXPECT_EQ(rowValue("Text size"), "100%") << "no smaller than designed";
    EXPECT_EQ(kept().find("interface.textSize"), std::string::npos) << "nothing changed, nothing kept";
    tap(right);
    frame();
    EXPECT_EQ(rowValue("Text size"), "125%");
    EXPECT_NE(kept().find("interface.textSize,125\n"), std::string::npos) << "kept at once";
    EXPECT_TRUE(logged("Text size 125%"));
    EXPECT_EQ(menu().selected, textSize) << "built again, the cursor still on the line";
    EXPECT_NEAR(labelSize(*world(), "Music volume"), first * 1.25f, 1e-5f) << "every line's words larger";
    for (int i = 0; i < 4; ++i) {
        tap(right);
        frame();
    }
    EXPECT_EQ(rowValue("Text size"), "200%") << "no larger than twice";
    EXPECT_EQ(lookSettings::textSize.value(), 200);
    EXPECT_NEAR(labelSize(*world(), "Music volume"), first * 2.0f, 1e-5f);
    // The title and the help at the foot grow as well, the help on two lines
    // of its full size.
    const auto sizeOf = [this](const std::string& words) {
        for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Text>())) {
            const auto* text = static_cast<kit::Text*>(c);
            if (text->text().rfind(words, 0) == 0)
                return text->glyphSize;
        }
        return 0.0f;
    };
    EXPECT_NEAR(sizeOf("Options"), 0.2f, 1e-5f);
    EXPECT_NEAR(sizeOf("Up/Down choose,"), 0.09f, 1e-5f) << "broken in two rather than shrunk";
    EXPECT_NEAR(sizeOf("picks, Escape goes back"), 0.09f, 1e-5f);
    EXPECT_GT(menu().bar.shown, 3) << "a good part of the menu in view";
    EXPECT_LT(menu().bar.shown, menu().count()) << "the rest scrolled to";
    EXPECT_GE(menu().selected, menu().firstShown());
    EXPECT_LT(menu().selected, menu().firstShown() + menu().bar.shown) << "the chosen line in view";
    tap(left);
    frame();
    EXPECT_EQ(rowValue("Text size"), "175%");
    chooseLine(reset);
    tap(enter);
    frame();
    EXPECT_EQ(lookSettings::textSize.value(), 100);
    EXPECT_NEAR(labelSize(*world(), "Music volume"), first, 1e-5f) << "built again at the first size";
    EXPECT_EQ(menu().selected, reset);
    EXPECT_EQ(kept().find("interface.textSize"), std::string::npos);
}

TEST_F(Options, TheLanguageStepsThroughTheShippedOnesAndTheScreenSpeaksIt)
{
    kit::setCatalogFolder(std::filesystem::path(SKYSCUFFLE_BINARY_DIR) / "locale");
    setenv("LANG", "C.UTF-8", 1);
    chooseLine(language);
    EXPECT_TRUE(shows("> Language\n"));
    EXPECT_TRUE(shows("System (English)\n")) << "the environment's, named";
    tap(right);
    frame();
    EXPECT_EQ(kit::currentLanguage(), "en");
    EXPECT_TRUE(shows("English\n"));
    tap(right);
    frame();
    EXPECT_EQ(kit::currentLanguage(), "de");
    EXPECT_TRUE(shows("> Sprache\n")) << "built again in German, the cursor still on the line";
    EXPECT_EQ(menu().selected, language);
    EXPECT_TRUE(shows("Deutsch\n"));
    EXPECT_NE(kept().find("interface.language,de\n"), std::string::npos) << "kept at once";
    tap(left);
    frame();
    tap(left);
    frame();
    EXPECT_EQ(kit::currentLanguage(), "en") << "back through English to the environment's";
    EXPECT_TRUE(shows("System (English)\n"));
    tap(left);
    frame();
    EXPECT_EQ(kit::currentLanguage(), "pt_BR") << "round from the first to the last";
    EXPECT_TRUE(shows(kit::fontBytes("Portugu\u00eas (Brasil)") + "\n"));
    chooseLine(reset);
    tap(enter);
    frame();
    EXPECT_EQ(kit::currentLanguage(), "en") << "reset: the environment's again";
    EXPECT_TRUE(shows("> Reset to defaults\n")) << "built again, the cursor still on the line";
    unsetenv("LANG");
}
