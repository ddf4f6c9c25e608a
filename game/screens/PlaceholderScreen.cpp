#include "PlaceholderScreen.h"

#include "game/screens/MainMenu.h"
#include "game/screens/ScreenRegistry.h"
#include "game/screens/ScreenScene.h"
#include "game/screens/ScreenSwitch.h"

#include "game/widgets/Overlay.h"
#include "game/widgets/WidgetKeys.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/input/Keys.h"

namespace skyscuffle {

void createPlaceholderScreen(kit::World* world)
{
    // The main menu's line: this screen stands in for a menu of its own.
    kit::log::info() << "Creating Main Menu";
    world->maxFrameRate = screens::stillScreenFrameRate;
    world->drawsOnChange = true;
    widgets::addOverlay(world, true);
    widgets::addBackdrop(world, "sprites/ComingSoon.png");

    if (!world->keyboard)
        return;
    world->connections.emplace_back(world->keyboard->keyPressed.connect([world](kit::Keyboard::KeyInfo key) {
        if (widgets::isEnter(key))
            screens::switchTo(world, createMainMenu);
        else if (key.key == kit::keys::escape && world->owner)
            world->owner->stop();
        else if (key.key == kit::keys::digit1 && key.control)
            screens::switchTo(world, screens::matchWorld());
    }));
}

} // namespace skyscuffle
