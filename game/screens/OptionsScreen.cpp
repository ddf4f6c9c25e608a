#include "OptionsScreen.h"

#include "game/screens/ControlsScreen.h"
#include "game/screens/MainMenu.h"
#include "game/screens/MenuPage.h"
#include "game/screens/PlayerChoice.h"
#include "game/screens/ScreenSwitch.h"

#include "game/ai/PilotSettings.h"
#include "game/ai/PilotSkill.h"
#include "game/effects/EffectSettings.h"
#include "game/input/InputSettings.h"
#include "game/input/KeyBindings.h"
#include "game/looks/LookSettings.h"
#include "game/looks/TextScale.h"
#include "game/sound/SoundManager.h"
#include "game/sound/SoundSettings.h"
#include "game/widgets/Overlay.h"
#include "game/widgets/RowMenu.h"

#include "engine/core/FontBytes.h"
#include "engine/core/Log.h"
#include "engine/core/Settings.h"
#include "engine/core/Translation.h"
#include "engine/core/TranslationSettings.h"
#include "engine/core/UpdateSignal.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/core/application/ApplicationSettings.h"
#include "engine/input/KeyNames.h"
#include "engine/input/Keys.h"
#include "engine/render/RenderSettings.h"
#include "engine/render/Text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>

namespace skyscuffle {

namespace {

namespace settings = kit::settings;

// The window rows show the window as it is and step from there: the command
// line, F11 and the display may each have left it other than the settings
// say. Without a real window, the settings are all there is.
kit::Window* shownWindow(kit::World* world)
{
    return world->window && !world->window->isDetached() ? world->window : nullptr;
}

bool fullscreenNow(kit::World* world)
{
    if (const kit::Window* window = shownWindow(world))
        return window->isFullscreen();
    return kit::applicationSettings::fullscreen.value();
}

glm::ivec2 windowedSizeNow(kit::World* world)
{
    if (const kit::Window* window = shownWindow(world))
        return window->windowedSize();
    return glm::ivec2(glm::vec2(kit::applicationSettings::width.value(), kit::applicationSettings::height.value()));
}

std::string percent(float value)
{
    return std::to_string(static_cast<int>(std::lround(value * 100.0f))) + "%";
}

// A value from 0 to 1 in tenths.
MenuRow volumeRow(const std::string& label, const kit::Setting<float>& volume, kit::World* world)
{
    MenuRow row;
    row.label = label;
    row.value = [&volume] { return percent(std::clamp(volume.value(), 0.0f, 1.0f)); };
    row.change = [&volume, world](int step) {
        const float now = std::clamp(volume.value(), 0.0f, 1.0f);
        const float next = std::clamp(std::round(now * 10.0f + static_cast<float>(step)) / 10.0f, 0.0f, 1.0f);
        char text[16];
        std::snprintf(text, sizeof text, "%g", next);
        keep(volume.key(), text);
        if (SoundManager* sounds = SoundManager::of(world))
            sounds->applyVolumes();
    };
    return row;
}

// The match's scene drawn at a share of the window's resolution (the HUD
// always at full): automatic (0: lower only where a software renderer
// would fall behind), or one of the scales.
constexpr std::array<float, 4> resolutionScales{0.0f, 1.0f, 0.75f, 0.5f};

MenuRow resolutionRow()
{
    const auto current = [] {
        const float chosen = kit::renderSettings::resolutionScale.value();
        // The listed scale nearest the one in force (which may be none of them).
        std::size_t at = 0;
        for (std::size_t i = 1; i < resolutionScales.size(); ++i) {
            if (std::fabs(resolutionScales[i] - chosen) < std::fabs(resolutionScales[at] - chosen))
                at = i;
        }
        return at;
    };
    MenuRow row;
    row.label = kit::tr("Resolution scale");
    row.value = [current] {
        const float scale = resolutionScales[current()];
        return scale > 0.0f ? percent(scale) : kit::tr("Auto");
    };
    row.change = [current](int step) {
        const int count = static_cast<int>(resolutionScales.size());
        const int next = ((static_cast<int>(current()) + step) % count + count) % count;
        char text[16];
        std::snprintf(text, sizeof text, "%g", resolutionScales[static_cast<std::size_t>(next)]);
        keep(kit::renderSettings::resolutionScale.key(), text);
    };
    return row;
}

// The pilots' strengths as the Options screen names them, in PilotStrength's order.
constexpr const char* strengthNames[] = {kit::trLater("Easy"), kit::trLater("Normal"), kit::trLater("Hard")};

constexpr std::array<std::array<int, 2>, 6> windowSizes{
    {{800, 600}, {1024, 768}, {1280, 720}, {1366, 768}, {1600, 900}, {1920, 1080}}};

// What this screen chooses, all back to their defaults at once (the
// keyboards' keys go with controls::resetToDefaults).
std::vector<const kit::SettingDeclaration*> choices()
{
    std::vector<const kit::SettingDeclaration*> all = {&soundSettings::musicVolume,
                                                       &soundSettings::effectsVolume,
                                                       &kit::applicationSettings::fullscreen,
                                                       &kit::applicationSettings::width,
                                                       &kit::applicationSettings::height,
                                                       &kit::applicationSettings::verticalSync,
                                                       &pilotSettings::strength,
                                                       &inputSettings::deadZone,
                                                       &kit::renderSettings::resolutionScale,
                                                       &kit::translationSettings::language,
                                                       &lookSettings::textSize,
                                                       &effectSettings::calmerFlashes};
    for (const kit::Setting<bool>& keyboard : inputSettings::keyboardAutoFire)
        all.push_back(&keyboard);
    for (const kit::Setting<bool>& pad : inputSettings::padAutoFire)
        all.push_back(&pad);
    return all;
}

// The words of the pad auto-fire line, every one of them here.
constexpr const char* padsOff = kit::trLater("Off");
constexpr const char* allPads = kit::trLater("All pads");
constexpr const char* onePad = kit::trLater("Pad {1}");    // the pad's number, from 1
constexpr const char* somePads = kit::trLater("Pads {1}"); // their numbers, as "1, 3"

// Auto-fire for the pads: off, on for every pad, or on for one pad alone,
// stepped through in that order. Choices made in the settings file (a few
// pads of the sixteen) show as they are, and the next step leaves them for
// one of the line's own.
constexpr int padChoices = 2 + inputSettings::autoFirePads; // off, all, then each pad alone

bool padChoiceHas(int choice, int slot)
{
    return choice == 1 || choice == slot + 2;
}

// The choice in force; -1 for any other set of pads.
int padChoiceNow()
{
    for (int choice = 0; choice < padChoices; ++choice) {
        bool same = true;
        for (int slot = 0; slot < inputSettings::autoFirePads && same; ++slot)
            same = inputSettings::padAutoFire[slot].value() == padChoiceHas(choice, slot);
        if (same)
            return choice;
    }
    return -1;
}

MenuRow padAutoFireRow()
{
    MenuRow row;
    row.label = kit::tr("Pad auto-fire");
    row.value = [] {
        const int choice = padChoiceNow();
        if (choice == 0)
            return kit::tr(padsOff);
        if (choice == 1)
            return kit::tr(allPads);
        if (choice > 1)
            return kit::format(kit::tr(onePad), {std::to_string(choice - 1)});
        std::string numbers;
        for (int slot = 0; slot < inputSettings::autoFirePads; ++slot) {
            if (inputSettings::padAutoFire[slot].value())
                numbers += (numbers.empty() ? "" : ", ") + std::to_string(slot + 1);
        }
        return kit::format(kit::tr(somePads), {numbers});
    };
    row.change = [](int step) {
        const int now = padChoiceNow();
        const int next =
            now < 0 ? (step > 0 ? 0 : padChoices - 1) : ((now + step) % padChoices + padChoices) % padChoices;
        for (int slot = 0; slot < inputSettings::autoFirePads; ++slot)
            keep(inputSettings::padAutoFire[slot].key(), padChoiceHas(next, slot) ? "1" : "0");
    };
    return row;
}

// Builds the screen again (its words in another language, or at another
// size), its cursor still on the row labelled `label`.
void rebuildOn(kit::World* world, const std::string& label)
{
    screens::switchTo(world, [label](kit::World* w) {
        createOptionsScreen(w);
        if (RowMenu* menu = w->single<RowMenu>()) {
            for (int i = 0; i < menu->count(); ++i) {
                if (menu->rows[static_cast<std::size_t>(i)].label == label)
                    menu->selected = i;
            }
        }
    });
}

// The language of the words: the environment's ("System"), or one of the
// shipped ones, each named in itself. The screen is built again in the
// language chosen, its cursor still on this row.
MenuRow languageRow(kit::World* world)
{
    const auto codes = [] {
        std::vector<std::string> all{""};
        for (const kit::Language& language : kit::shippedLanguages())
            all.emplace_back(language.code);
        return all;
    };
    const auto nameOf = [](const std::string& code) {
        for (const kit::Language& language : kit::shippedLanguages()) {
            if (code == language.code)
                return kit::fontBytes(language.name);
        }
        return code;
    };
    MenuRow row;
    row.label = kit::tr("Language");
    row.value = [nameOf] {
        const std::string& chosen = kit::translationSettings::language.value();
        return chosen.empty() ? kit::format(kit::tr("System ({1})"), {nameOf(kit::currentLanguage())}) : nameOf(chosen);
    };
    row.change = [world, codes](int step) {
        const std::vector<std::string> all = codes();
        const auto at = std::find(all.begin(), all.end(), kit::translationSettings::language.value());
        const int count = static_cast<int>(all.size());
        const int now = at == all.end() ? 0 : static_cast<int>(at - all.begin());
        const std::string& next = all[static_cast<std::size_t>(((now + step) % count + count) % count)];
        keep(kit::translationSettings::language.key(), next);
        kit::setLanguage(next);
        kit::log::info() << "Language " << kit::currentLanguage();
        rebuildOn(world, kit::tr("Language"));
    };
    return row;
}

// The words' size on the menus and over the match, in steps of a quarter.
MenuRow textSizeRow(kit::World* world)
{
    MenuRow row;
    row.label = kit::tr("Text size");
    row.value = [] { return percent(textScale()); };
    row.change = [world](int step) {
        const int now = static_cast<int>(std::lround(textScale() * 100.0f));
        const int next = std::clamp((now + 25 * step) / 25 * 25, 100, 200);
        if (next == now)
            return;
        keep(lookSettings::textSize.key(), std::to_string(next));
        kit::log::info() << "Text size " << next << "%";
        rebuildOn(world, kit::tr("Text size"));
    };
    return row;
}

std::vector<MenuRow> optionRows(kit::World* world)
{
    std::vector<MenuRow> rows;
    rows.push_back(volumeRow(kit::tr("Music volume"), soundSettings::musicVolume, world));
    rows.push_back(volumeRow(kit::tr("Effects volume"), soundSettings::effectsVolume, world));

    MenuRow fullscreen;
    fullscreen.label = kit::tr("Full screen");
    fullscreen.value = [world] { return onOff(fullscreenNow(world)); };
    fullscreen.change = [world](int) {
        const bool on = !fullscreenNow(world);
        keep(kit::applicationSettings::fullscreen.key(), on ? "1" : "0");
        if (world->window)
            world->window->setFullscreen(on);
    };
    rows.push_back(fullscreen);

    MenuRow size;
    size.label = kit::tr("Window size");
    size.value = [world] {
        const glm::ivec2 s = windowedSizeNow(world);
        return std::to_string(s.x) + " x " + std::to_string(s.y);
    };
    size.change = [world](int step) {
        const glm::ivec2 s = windowedSizeNow(world);
        // The next listed size from the one shown (which may be none of them).
        int at = -1;
        for (int i = 0; i < static_cast<int>(windowSizes.size()); ++i) {
            if (windowSizes[static_cast<std::size_t>(i)][0] <= s.x)
                at = i;
        }
        const int count = static_cast<int>(windowSizes.size());
        const int next = at < 0 ? (step > 0 ? 0 : count - 1) : ((at + step) % count + count) % count;
        const auto& chosen = windowSizes[static_cast<std::size_t>(next)];
        keep(kit::applicationSettings::width.key(), std::to_string(chosen[0]));
        keep(kit::applicationSettings::height.key(), std::to_string(chosen[1]));
        if (world->window)
            world->window->setWindowedSize(glm::ivec2(chosen[0], chosen[1]));
    };
    rows.push_back(size);
    rows.push_back(resolutionRow());

    MenuRow vsync;
    vsync.label = kit::tr("Vertical sync");
    vsync.value = [] { return onOff(kit::applicationSettings::verticalSync.value()); };
    vsync.change = [world](int) {
        const bool on = !kit::applicationSettings::verticalSync.value();
        keep(kit::applicationSettings::verticalSync.key(), on ? "1" : "0");
        if (world->owner)
            world->owner->verticalSync = on;
        if (world->window)
            world->window->setVerticalSync(on && world->maxFrameRate > 0.0f);
    };
    rows.push_back(vsync);

    MenuRow pilots;
    pilots.label = kit::tr("Computer pilots");
    pilots.value = [] { return kit::tr(strengthNames[static_cast<std::size_t>(defaultStrength())]); };
    pilots.change = [](int step) {
        const int now = static_cast<int>(defaultStrength());
        const int next = std::clamp(now + step, 0, 2);
        keep(pilotSettings::strength.key(), nameOf(static_cast<PilotStrength>(next)));
    };
    rows.push_back(pilots);

    MenuRow deadZone;
    deadZone.label = kit::tr("Pad dead zone");
    deadZone.value = [] { return percent(std::clamp(inputSettings::deadZone.value(), 0.0f, 0.5f)); };
    deadZone.change = [](int step) {
        const float now = std::clamp(inputSettings::deadZone.value(), 0.0f, 0.5f);
        const float next = std::clamp(std::round(now * 20.0f + static_cast<float>(step)) / 20.0f, 0.0f, 0.5f);
        char text[16];
        std::snprintf(text, sizeof text, "%g", next);
        keep(inputSettings::deadZone.key(), text);
    };
    rows.push_back(deadZone);

    for (int set = 0; set < controls::keyboardSets; ++set) {
        MenuRow keys;
        keys.label = set == 0 ? kit::tr("Keyboard keys") : kit::tr("Keyboard 2 keys");
        keys.choose = [world, set] { screens::switchTo(world, ControlsScreenInit{set}); };
        rows.push_back(keys);
    }
    rows.push_back(padAutoFireRow());

    MenuRow calmer;
    calmer.label = kit::tr("Calmer flashes");
    calmer.value = [] { return onOff(effectSettings::calmerFlashes.value()); };
    calmer.change = [](int) { keep(effectSettings::calmerFlashes.key(), effectSettings::calmerFlashes ? "0" : "1"); };
    rows.push_back(calmer);
    rows.push_back(languageRow(world));
    rows.push_back(textSizeRow(world));

    MenuRow reset;
    reset.label = kit::tr("Reset to defaults");
    reset.choose = [world, laidOutAt = textScale()] {
        // The command line's values go too: the defaults are what the
        // player asked for, for the rest of the run as well.
        for (const kit::SettingDeclaration* chosen : choices()) {
            settings::clearForRun(chosen->key());
            settings::clearPlayer(chosen->key());
        }
        controls::resetToDefaults();
        settings::keepPlayerChoices();
        kit::log::info() << "Options back to their defaults";
        if (SoundManager* sounds = SoundManager::of(world))
            sounds->applyVolumes();
        if (world->window) {
            world->window->setFullscreen(kit::applicationSettings::fullscreen.value());
            world->window->setWindowedSize(glm::ivec2(
                glm::vec2(kit::applicationSettings::width.value(), kit::applicationSettings::height.value())));
        }
        // Back to the environment's language and the first size: the
        // screen's words with them.
        const bool otherWords = kit::currentLanguage() != kit::languageOfEnvironment();
        if (otherWords)
            kit::setLanguage(kit::translationSettings::language);
        if (otherWords || textScale() != laidOutAt)
            rebuildOn(world, kit::tr("Reset to defaults"));
    };
    rows.push_back(reset);

    MenuRow back;
    back.label = kit::tr("Back");
    back.choose = [world] { screens::switchTo(world, createMainMenu); };
    rows.push_back(back);
    return rows;
}

} // namespace

void createOptionsScreen(kit::World* world)
{
    kit::log::info() << "Creating Options Screen";
    screens::endSession(world);
    std::vector<MenuRow> rows = optionRows(world);
    // Every line between the title and the help: closer together as lines
    // come, never closer than their words' height allows (the menu scrolls
    // past what does not fit).
    const std::string help = kit::tr("Up/Down choose, Left/Right change, Enter picks, Escape goes back");
    const screens::MenuPageShape page = screens::menuPageShape(help);
    const float scale = textScale(), size = 0.06f * scale;
    const float step = std::min(0.1f * scale, std::max(1.3f / static_cast<float>(rows.size()), size * 1.3f));
    const RowLayout layout{glm::vec2(screens::menuPageLeft, page.top - size - 0.04f * scale),
                           step,
                           0.3f,
                           size,
                           screens::menuPageRight,
                           page.lowest};
    const int shown = std::min(layout.fitting(), static_cast<int>(rows.size()));
    screens::addMenuPage(world, kit::tr("Options"), help, layout.lineY(shown - 1) - step + 0.02f);
    addRowMenu(world, std::move(rows), layout, [world] { screens::switchTo(world, createMainMenu); });
}

} // namespace skyscuffle
