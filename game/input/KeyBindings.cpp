#include "KeyBindings.h"

#include "ControlSettings.h"

#include "engine/core/Log.h"
#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/core/Translation.h"
#include "engine/input/KeyNames.h"
#include "engine/input/Keys.h"

#include <array>
#include <set>

namespace skyscuffle {

namespace controls {
namespace {

struct ActionRow {
    const char* setting;
    const char* label;
};

// In the order of Action.
constexpr ActionRow rows[actionCount] = {
    {"up", kit::trLater("Steer up")},
    {"down", kit::trLater("Steer down")},
    {"left", kit::trLater("Steer left")},
    {"right", kit::trLater("Steer right")},
    {"up2", kit::trLater("Steer up (second key)")},
    {"down2", kit::trLater("Steer down (second key)")},
    {"left2", kit::trLater("Steer left (second key)")},
    {"right2", kit::trLater("Steer right (second key)")},
    {"dash", kit::trLater("Dash")},
    {"fire", kit::trLater("Fire")},
    {"special", kit::trLater("Shotgun or bomb")},
    {"taunt1", kit::trLater("Taunt 1")},
    {"taunt2", kit::trLater("Taunt 2")},
    {"taunt3", kit::trLater("Taunt 3")},
    {"taunt4", kit::trLater("Taunt 4")},
    {"ping", kit::trLater("Show my plane")},
    {"join", kit::trLater("Join (join screen)")},
    {"leave", kit::trLater("Leave (join screen)")},
    {"switchSide", kit::trLater("Change side (join screen)")},
    {"addComputer", kit::trLater("Add a computer pilot")},
    {"removeComputer", kit::trLater("Remove a computer pilot")},
    {"pilotStrength", kit::trLater("A computer pilot's strength")},
};

const ActionRow& row(Action action)
{
    return rows[static_cast<int>(action)];
}

// Every binding's key code, read again whenever the settings change (a
// choice on the Options screen, a reload of the tuning).
class BindingTable : public kit::SettingsEntryBase {
public:
    BindingTable() { refresh(); }

    void refresh() override
    {
        for (int set = 0; set < keyboardSets; ++set) {
            for (int a = 0; a < actionCount; ++a) {
                const auto action = static_cast<Action>(a);
                // Read from the table, not the declaration's entry: this refresh
                // may come before that entry's own.
                const kit::Setting<std::string>& declared = binding(set, action);
                const std::string& fallback = declared.fallback();
                const std::string text = kit::settings::get<std::string>(declared.key(), fallback);
                int code = text.empty() ? -1 : kit::keys::fromName(text);
                if (!text.empty() && (code < 0 || reserved(code))) {
                    if (reportedBad_.insert(settingKey(set, action) + "=" + text).second) {
                        kit::log::warn() << "Key binding " << settingKey(set, action).substr(7) << " is \"" << text
                                         << "\", not a key a player may use; using "
                                         << (fallback.empty() ? std::string("none") : fallback);
                    }
                    code = fallback.empty() ? -1 : kit::keys::fromName(fallback);
                }
                codes[static_cast<std::size_t>(set)][static_cast<std::size_t>(a)] = code;
            }
        }
    }

    std::array<std::array<int, actionCount>, keyboardSets> codes{};

private:
    std::set<std::string> reportedBad_;
};

BindingTable& table()
{
    static BindingTable bindings;
    return bindings;
}

} // namespace

const char* settingName(Action action)
{
    return row(action).setting;
}

const char* label(Action action)
{
    return row(action).label;
}

bool onJoinScreen(Action action)
{
    return action >= Action::join;
}

std::string settingKey(int set, Action action)
{
    return binding(set, action).key();
}

int key(int set, Action action)
{
    if (set < 0 || set >= keyboardSets || action >= Action::count)
        return -1;
    return table().codes[static_cast<std::size_t>(set)][static_cast<std::size_t>(action)];
}

int defaultKey(int set, Action action)
{
    if (set < 0 || set >= keyboardSets || action >= Action::count)
        return -1;
    const std::string& name = binding(set, action).fallback();
    return name.empty() ? -1 : kit::keys::fromName(name);
}

int gamepadButton(Action action)
{
    if (action < Action::dash || action > Action::ping)
        return -1;
    return static_cast<int>(action) - static_cast<int>(Action::dash);
}

bool reserved(int key)
{
    return key == kit::keys::escape || key == kit::keys::enter || key == kit::keys::keypadEnter ||
           key == kit::keys::f11;
}

Rebinding bind(int set, Action action, int newKey)
{
    Rebinding result;
    const int old = key(set, action);
    if (reserved(newKey) || kit::keys::name(newKey).empty() || old == newKey)
        return result;
    // The action of the same screen that has the key now takes this one's old key.
    for (int s = 0; s < keyboardSets && !result.swappedWith; ++s) {
        for (int a = 0; a < actionCount; ++a) {
            const auto other = static_cast<Action>(a);
            if ((s == set && other == action) || onJoinScreen(other) != onJoinScreen(action) || key(s, other) != newKey)
                continue;
            result.swappedWith = std::pair{s, other};
            kit::settings::setPlayer(settingKey(s, other), old < 0 ? std::string() : kit::keys::name(old));
            break;
        }
    }
    kit::settings::setPlayer(settingKey(set, action), kit::keys::name(newKey));
    result.changed = true;
    return result;
}

void resetToDefaults()
{
    for (int set = 0; set < keyboardSets; ++set) {
        for (int a = 0; a < actionCount; ++a)
            kit::settings::clearPlayer(settingKey(set, static_cast<Action>(a)));
    }
}

} // namespace controls

} // namespace skyscuffle
