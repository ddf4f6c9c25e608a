#include "Panel.h"
#include "TextFit.h"

#include "engine/core/World.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"

#include <algorithm>
#include <cmath>

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
    const float edge = box.centre.x + box.size.x * 0.5f - panelMargin;
    for (const PanelLine& line : lines) {
        // A line ends at the plate's edge, or where another starts further right on the same row.
        float right = edge;
        for (const PanelLine& other : lines) {
            if (other.origin.x > line.origin.x && std::abs(other.origin.y - line.origin.y) < line.size * 0.5f)
                right = std::min(right, other.origin.x);
        }
        panel.lines.push_back(addText(world, line.text, line.origin, line.size, line.colour, true, wordsLayer));
        fitWithin(panel.lines.back(), right);
    }
    return panel;
}

} // namespace widgets

} // namespace skyscuffle
