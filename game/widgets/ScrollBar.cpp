#include "ScrollBar.h"

#include "game/widgets/Overlay.h"
#include "game/widgets/Plate.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"
#include "engine/render/Sprite.h"

#include <algorithm>

namespace skyscuffle {

namespace widgets {

namespace {

constexpr float thumbShare = 0.7f; // the thumb's width in the track's

} // namespace

bool ScrollBar::follow(int selected)
{
    const int was = first;
    first = std::clamp(first, selected - shown + 1, selected);
    first = std::clamp(first, 0, std::max(total - shown, 0));
    return first != was;
}

float ScrollBar::thumbLength() const
{
    return total > 0 ? (trackTop - trackBottom) * static_cast<float>(shown) / static_cast<float>(total) : 0.0f;
}

float ScrollBar::thumbCentre() const
{
    const float track = trackTop - trackBottom;
    const float top = total > 0 ? trackTop - track * static_cast<float>(first) / static_cast<float>(total) : trackTop;
    return top - thumbLength() * 0.5f;
}

void ScrollBar::placeThumb(kit::World& world) const
{
    if (!thumb)
        return;
    if (auto* place = world.getComponent<kit::Transform>(thumb->entityId))
        place->position.y = thumbCentre();
}

ScrollBar addScrollBar(kit::World* world, float x, float width, float top, float bottom, int total, int shown)
{
    ScrollBar bar;
    bar.total = total;
    bar.shown = shown;
    bar.trackTop = top;
    bar.trackBottom = bottom;
    bar.track = addPlate(world, Box::spanning(x, width, top, bottom), pictureLayer);
    bar.thumb =
        addPlate(world, glm::vec2(x, bar.thumbCentre()), glm::vec2(width * thumbShare, bar.thumbLength()), cursorLayer);
    return bar;
}

} // namespace widgets

} // namespace skyscuffle
