#include "Panel.h"

#include "engine/core/World.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"

namespace skyscuffle {

namespace widgets {

std::vector<kit::EntityHandle> Panel::entities() const
{
    std::vector<kit::EntityHandle> all;
    if (plate)
        all.push_back(plate->getEntity());
    for (const kit::Text* line : lines)
        all.push_back(line->getEntity());
    return all;
}

Panel addPanel(kit::World* world, const Box& box, const std::vector<PanelLine>& lines, float layer, float wordsLayer)
{
    Panel panel;
    panel.plate = addPlate(world, box, layer);
    for (const PanelLine& line : lines)
        panel.lines.push_back(addText(world, line.text, line.origin, line.size, line.colour, true, wordsLayer));
    return panel;
}

} // namespace widgets

} // namespace skyscuffle
