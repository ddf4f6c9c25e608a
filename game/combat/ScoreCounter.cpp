#include "ScoreCounter.h"

#include "game/combat/Score.h"
#include "game/combat/ScoreFunctions.h"
#include "game/looks/OutlinedText.h"

#include "engine/core/World.h"
#include "engine/render/Text.h"

#include <algorithm>
#include <string>

namespace skyscuffle {

namespace {

constexpr float cellAspect = 34.0f / 64.0f; // the font's cells
constexpr float smallest = 0.6f;

} // namespace

ScoreCounter::ScoreCounter(kit::EntityHandle plane) : plane(plane)
{
    addClassTags<ScoreCounter>("scoreCounter");
}

void ScoreCounter::update(float)
{
    auto* text = world->getComponent<kit::Text>(entityId);
    const Score* score = world->getComponent<Score>(plane.id);
    if (!text || !score)
        return;
    if (size_ <= 0.0f)
        size_ = text->glyphSize;
    const std::string shown = centred ? std::to_string(score->points) : rightAligned(score->points, 4);
    if (text->text() == shown)
        return;
    setOutlinedText(text, shown); // and its outline, if it has one
    if (!centred)
        return;
    // n glyphs take n advances, starting one advance right of the origin.
    const auto glyphs = static_cast<float>(shown.size());
    float size = size_;
    if (room > 0.0f && glyphs * cellAspect * size > room)
        size = std::max(room / (glyphs * cellAspect), size_ * smallest);
    const float left = -(glyphs + 2.0f) * 0.5f * cellAspect * size;
    // Every copy moves as far: the outline keeps its offsets.
    for (kit::Component* c : *world->componentsOf(entityId)) {
        if (!c->hasTag(kit::typeId<kit::Text>()))
            continue;
        auto* part = static_cast<kit::Text*>(c);
        part->glyphSize = size;
        part->origin.x += left - placed_;
    }
    placed_ = left;
}

} // namespace skyscuffle
