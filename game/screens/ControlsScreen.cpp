#include "ControlsScreen.h"
#include "game/screens/MenuPage.h"
#include "game/screens/OptionsScreen.h"
#include "game/screens/PlayerChoice.h"
#include "game/screens/ScreenSwitch.h"

#include "game/input/InputSettings.h"
#include "game/input/KeyBindings.h"
#include "game/looks/TextScale.h"
#include "game/widgets/Overlay.h"
#include "game/widgets/RowMenu.h"
#include "game/widgets/TextFit.h"

#include "engine/core/Log.h"
#include "engine/core/Settings.h"
#include "engine/core/Translation.h"
#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"
#include "engine/input/KeyNames.h"
#include "engine/input/Keys.h"
#include "engine/render/Text.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace skyscuffle {

void ControlsScreenInit::operator()(kit::World* world) const
{
    kit::log::info() << "Creating Controls Screen for keyboard " << set + 1;
    screens::endSession(world);
    const int keySet = set;
    std::vector<MenuRow> rows;
    // Set while a key is awaited, and after a binding: what became of it.
    auto notice = std::make_shared<std::string>();
    auto menuOf = [world] { return world->single<RowMenu>(); };
    for (int a = 0; a < controls::actionCount; ++a) {
        const auto action = static_cast<controls::Action>(a);
        if (keySet > 0 && action >= controls::Action::addComputer)
            continue; // computer pilots are the first keyboard's to add
        MenuRow row;
        row.label = kit::tr(controls::label(action));
        row.value = [keySet, action] {
            const int key = controls::key(keySet, action);
            return key < 0 ? kit::tr("none") : kit::keys::name(key);
        };
        row.choose = [keySet, action, notice, menuOf] {
            *notice = kit::format(kit::tr("Press a key for {1} (Escape keeps it)"), {kit::tr(controls::label(action))});
            if (RowMenu* m = menuOf())
                m->catchKey = [keySet, action, notice](const kit::Keyboard::KeyInfo& key) {
                    if (key.key == kit::keys::escape) {
                        notice->clear();
                        return true;
                    }
                    if (controls::reserved(key.key) || kit::keys::name(key.key).empty()) {
                        // Still waiting: the next key may be one to bind.
                        *notice = kit::tr("That key is the game's own: choose another");
                        return false;
                    }
                    const controls::Rebinding done = controls::bind(keySet, action, key.key);
                    kit::settings::keepPlayerChoices();
                    *notice = kit::tr(controls::label(action)) + ": " + kit::keys::name(key.key);
                    if (done.swappedWith) {
                        const auto [otherSet, other] = *done.swappedWith;
                        const int now = controls::key(otherSet, other);
                        const std::string otherKey = now < 0 ? kit::tr("none") : kit::keys::name(now);
                        *notice +=
                            ", " + (otherSet != keySet ? kit::format(kit::tr("swapped: keyboard {1} {2} is {3} now"),
                                                                     {std::to_string(otherSet + 1),
                                                                      kit::tr(controls::label(other)), otherKey})
                                                       : kit::format(kit::tr("swapped: {1} is {2} now"),
                                                                     {kit::tr(controls::label(other)), otherKey}));
                    }
                    kit::log::info() << "Bound " << controls::settingKey(keySet, action).substr(7) << " to "
                                     << kit::keys::name(key.key);
                    return true;
                };
        };
        rows.push_back(row);
    }
    // This keyboard player's auto-fire (see AutoFire.h).
    const kit::Setting<bool>* autoFire = &inputSettings::keyboardAutoFire[keySet == 0 ? 0 : 1];
    MenuRow autoFireRow;
    autoFireRow.label = kit::tr("Auto-fire");
    autoFireRow.value = [autoFire] { return onOff(autoFire->value()); };
    autoFireRow.change = [autoFire](int) { keep(autoFire->key(), autoFire->value() ? "0" : "1"); };
    rows.push_back(autoFireRow);
    MenuRow reset;
    reset.label = kit::tr("Reset keys to defaults");
    reset.choose = [notice] {
        controls::resetToDefaults();
        kit::settings::keepPlayerChoices();
        *notice = kit::tr("Every key back to its default");
    };
    rows.push_back(reset);
    MenuRow back;
    back.label = kit::tr("Back");
    back.choose = [world] { screens::switchTo(world, createOptionsScreen); };
    rows.push_back(back);

    const std::string title = keySet == 0 ? kit::tr("Keyboard keys") : kit::tr("Keyboard 2 keys");
    // The lines, then the notice's line under them.
    const std::string help = kit::tr("Enter, then a key, binds it; a key in use elsewhere is swapped");
    const screens::MenuPageShape page = screens::menuPageShape(help);
    const float scale = textScale(), size = 0.042f * scale, step = 0.055f * scale;
    const RowLayout layout{
        glm::vec2(screens::menuPageLeft, page.top - size), step, -0.05f, size, screens::menuPageRight,
        page.lowest - 0.01f + step + 0.05f * scale};
    const int shown = std::min(layout.fitting(), static_cast<int>(rows.size()));
    const float noticeY = layout.lineY(shown) - 0.05f * scale;
    screens::addMenuPage(world, title, help, noticeY - 0.03f);
    addRowMenu(world, std::move(rows), layout, [world] { screens::switchTo(world, createOptionsScreen); });
    kit::Text* line =
        widgets::addText(world, "", glm::vec2(screens::menuPageLeft, noticeY), size, glm::vec3(1.0f, 0.7f, 0.35f));
    widgets::fitWithin(line, screens::menuPageRight);
    world->emplaceComponent<kit::UpdateSignal>(
        world->createEntity(), [line, notice](kit::Component*, float) { widgets::setText(line, *notice); });
}

} // namespace skyscuffle
