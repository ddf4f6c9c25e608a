#include "ScoreCounter.h"

#include "game/combat/Score.h"
#include "game/combat/ScoreFunctions.h"

#include "engine/core/World.h"
#include "engine/render/Text.h"

namespace skyscuffle {

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
    const std::string shown = rightAligned(score->points, 4);
    if (text->text() != shown)
        text->setText(shown);
}

} // namespace skyscuffle
