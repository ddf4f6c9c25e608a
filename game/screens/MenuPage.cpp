#include "MenuPage.h"

#include "game/screens/ScreenScene.h"

#include "game/widgets/Overlay.h"
#include "game/widgets/Panel.h"

#include "engine/core/World.h"

namespace skyscuffle {

namespace screens {

void addMenuPage(kit::World* world, const std::string& title, const std::string& help, float bottom)
{
    world->maxFrameRate = stillScreenFrameRate;
    world->drawsOnChange = true;
    addLandscape(world);
    widgets::addOverlay(world, false);
    widgets::addPanel(world, widgets::Box::spanning(0.0f, 2.3f, 0.86f, bottom),
                      {{title, glm::vec2(menuPageLeft, 0.72f), 0.1f, widgets::titleColour}});
    widgets::addPanel(world, widgets::Box{glm::vec2(0.0f, -0.88f), glm::vec2(2.3f, 0.12f)},
                      {{help, glm::vec2(menuPageLeft, -0.9f), 0.045f}});
}

} // namespace screens

} // namespace skyscuffle
