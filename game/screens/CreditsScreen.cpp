#include "CreditsScreen.h"

#include "game/screens/CreditsPages.h"
#include "game/screens/MainMenu.h"
#include "game/screens/ScreenScene.h"
#include "game/screens/ScreenSwitch.h"

#include "game/widgets/WidgetKeys.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keys.h"
#include "engine/input/PadButtons.h"

namespace skyscuffle {

void CreditsScreenInit::operator()(kit::World* world) const
{
    world->maxFrameRate = screens::movingScreenFrameRate; // models turn on every page
    if (page >= pageCount) {
        createMainMenu(world);
        return;
    }
    kit::log::info() << "Creating Credits Screen";
    screens::endSession(world);
    showCreditsPage(world, page);

    const CreditsScreenInit next{page + 1};
    if (world->keyboard)
        world->connections.emplace_back(world->keyboard->keyPressed.connect([world, next](kit::Keyboard::KeyInfo key) {
            if (widgets::isEnter(key))
                screens::switchTo(world, next);
            else if (key.key == kit::keys::escape)
                screens::switchTo(world, createMainMenu);
        }));
    if (world->joysticks)
        world->connections.emplace_back(
            world->joysticks->buttonPressed.connect([world, next](kit::Joystick::ButtonInfo button) {
                if (button.button == kit::pad::a)
                    screens::switchTo(world, next);
                else if (button.button == kit::pad::b || button.button == kit::pad::back)
                    screens::switchTo(world, createMainMenu);
            }));
}

} // namespace skyscuffle
