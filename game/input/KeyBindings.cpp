#include "KeyBindings.h"

#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/input/KeyNames.h"
#include "engine/input/Keys.h"

#include <array>
#include <iostream>
#include <set>

namespace skyscuffle {

namespace controls {
namespace {

struct ActionRow {
    const char* setting;
    const char* label;
    const char* defaults[keyboardSets]; // key names; "" for none
};

// In the order of Action. The second set takes the keyboard's right half.
constexpr ActionRow rows[actionCount] = {
    {"up", "Steer up", {"UP", "I"}},
    {"down", "Steer down", {"DOWN", "K"}},
    {"left", "Steer left", {"LEFT", "J"}},
    {"right", "Steer right", {"RIGHT", "L"}},
    {"up2", "Steer up (second key)", {"W", ""}},
    {"down2", "Steer down (second key)", {"S", ""}},
    {"left2", "Steer left (second key)", {"A", ""}},
    {"right2", "Steer right (second key)", {"D", ""}},
    {"dash", "Dash", {"Z", "U"}},
    {"fire", "Fire", {"X", "O"}},
    {"special", "Shotgun or bomb", {"C", "P"}},
    {"taunt1", "Taunt 1", {"1", "7"}},
    {"taunt2", "Taunt 2", {"2", "8"}},
    {"taunt3", "Taunt 3", {"3", "9"}},
    {"taunt4", "Taunt 4", {"4", "0"}},
    {"ping", "Show my plane", {"V", "M"}},
    {"join", "Join (join screen)", {"X", "O"}},
    {"leave", "Leave (join screen)", {"Z", "U"}},
    {"addComputer", "Add a computer pilot", {"V", ""}},
    {"removeComputer", "Remove a computer pilot", {"C", ""}},
    {"pilotStrength", "A computer pilot's strength", {"B", ""}},
};

const ActionRow& row(Action action) { return rows[static_cast<int>(action)]; }

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
                const std::string fallback = row(action).defaults[set];
                const std::string text = kit::settings::get<std::string>(settingKey(set, action), fallback);
                int code = text.empty() ? -1 : kit::keys::fromName(text);
                if (!text.empty() && (code < 0 || reserved(code))) {
                    if (reportedBad_.insert(settingKey(set, action) + "=" + text).second) {
                        std::cerr << "Key binding " << settingKey(set, action).substr(7) << " is \"" << text
                                  << "\", not a key a player may use; using "
                                  << (fallback.empty() ? std::string("none") : fallback) << "\n";
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

const char* settingName(Action action) { return row(action).setting; }

const char* label(Action action) { return row(action).label; }

bool onJoinScreen(Action action) { return action >= Action::join; }

std::string settingKey(int set, Action action)
{
    return "tuning.controls.keyboard" + std::to_string(set + 1) + "." + settingName(action);
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
    const std::string name = row(action).defaults[set];
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
