#include "MenuPage.h"

#include "game/screens/ScreenScene.h"

#include "game/looks/TextScale.h"
#include "game/widgets/Overlay.h"
#include "game/widgets/Panel.h"
#include "game/widgets/TextFit.h"

#include "engine/core/World.h"

#include <algorithm>

namespace skyscuffle {

namespace screens {

namespace {

constexpr float pageTop = 0.86f, footBottom = -0.94f;
constexpr float helpLineStep = 1.3f; // in help lines' heights

} // namespace

MenuPageShape menuPageShape(const std::string& help)
{
    MenuPageShape shape;
    const float scale = textScale();
    shape.titleSize = 0.1f * scale;
    shape.titleY = pageTop - 0.04f - shape.titleSize;
    shape.top = shape.titleY - 0.06f;
    shape.helpSize = 0.045f * scale;
    shape.helpLines = widgets::wrapWords(help, menuPageRight - menuPageLeft, shape.helpSize);
    const auto lines = static_cast<float>(shape.helpLines.size());
    shape.helpTop = footBottom + 0.075f + shape.helpSize * (1.0f + helpLineStep * (lines - 1.0f));
    shape.lowest = shape.helpTop + 0.06f;
    return shape;
}

MenuPageShape addMenuPage(kit::World* world, const std::string& title, const std::string& help, float bottom)
{
    const MenuPageShape shape = menuPageShape(help);
    world->maxFrameRate = stillScreenFrameRate;
    world->drawsOnChange = true;
    addLandscape(world);
    widgets::addOverlay(world, false);
    widgets::addPanel(world, widgets::Box::spanning(0.0f, 2.3f, pageTop, std::max(bottom, shape.helpTop + 0.02f)),
                      {{title, glm::vec2(menuPageLeft, shape.titleY), shape.titleSize, widgets::titleColour}});
    std::vector<widgets::PanelLine> lines;
    float y = shape.helpTop - 0.0375f - shape.helpSize;
    for (const std::string& line : shape.helpLines) {
        lines.push_back({line, glm::vec2(menuPageLeft, y), shape.helpSize});
        y -= shape.helpSize * helpLineStep;
    }
    widgets::addPanel(world, widgets::Box::spanning(0.0f, 2.3f, shape.helpTop, footBottom), lines);
    return shape;
}

} // namespace screens

} // namespace skyscuffle
