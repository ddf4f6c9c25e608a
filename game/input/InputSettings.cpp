#include "InputSettings.h"

#include "KeyBindings.h"

#include "engine/input/JoystickManager.h"

namespace skyscuffle::inputSettings {

const kit::Setting<float> deadZone{"tuning.joystick.deadZone", 0.0f,
                                   "the share of a stick's throw around its centre that steers nothing (up to 0.9)"};

static_assert(autoFireKeyboards == controls::keyboardSets);
static_assert(autoFirePads == kit::JoystickManager::slotCount);

const kit::Setting<bool> keyboardAutoFire[autoFireKeyboards] = {
    {"tuning.input.autoFire.keyboard1", false,
     "auto-fire for player 1 on the keyboard: the gun fires with nothing held, the fire key stops and starts it"},
    {"tuning.input.autoFire.keyboard2", false,
     "auto-fire for player 2 on the keyboard: the gun fires with nothing held, the fire key stops and starts it"},
};

const kit::Setting<bool> padAutoFire[autoFirePads] = {
    {"tuning.input.autoFire.pad1", false, "auto-fire for pad 1, the pad in joystick slot 0"},
    {"tuning.input.autoFire.pad2", false, "auto-fire for pad 2, the pad in joystick slot 1"},
    {"tuning.input.autoFire.pad3", false, "auto-fire for pad 3, the pad in joystick slot 2"},
    {"tuning.input.autoFire.pad4", false, "auto-fire for pad 4, the pad in joystick slot 3"},
    {"tuning.input.autoFire.pad5", false, "auto-fire for pad 5, the pad in joystick slot 4"},
    {"tuning.input.autoFire.pad6", false, "auto-fire for pad 6, the pad in joystick slot 5"},
    {"tuning.input.autoFire.pad7", false, "auto-fire for pad 7, the pad in joystick slot 6"},
    {"tuning.input.autoFire.pad8", false, "auto-fire for pad 8, the pad in joystick slot 7"},
    {"tuning.input.autoFire.pad9", false, "auto-fire for pad 9, the pad in joystick slot 8"},
    {"tuning.input.autoFire.pad10", false, "auto-fire for pad 10, the pad in joystick slot 9"},
    {"tuning.input.autoFire.pad11", false, "auto-fire for pad 11, the pad in joystick slot 10"},
    {"tuning.input.autoFire.pad12", false, "auto-fire for pad 12, the pad in joystick slot 11"},
    {"tuning.input.autoFire.pad13", false, "auto-fire for pad 13, the pad in joystick slot 12"},
    {"tuning.input.autoFire.pad14", false, "auto-fire for pad 14, the pad in joystick slot 13"},
    {"tuning.input.autoFire.pad15", false, "auto-fire for pad 15, the pad in joystick slot 14"},
    {"tuning.input.autoFire.pad16", false, "auto-fire for pad 16, the pad in joystick slot 15"},
};

} // namespace skyscuffle::inputSettings
