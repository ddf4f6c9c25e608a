#include "ArtificialIntelligence.h"

namespace skyscuffle {

ArtificialIntelligence::ArtificialIntelligence()
{
    addClassTags<ArtificialIntelligence>("artificialIntelligence");
}

void ArtificialIntelligence::onAdded()
{
    stick = glm::vec2(0.0f);
    buttons = {false, false, false};
    target = kit::EntityHandle{};
    threat = kit::EntityHandle{};
}

} // namespace skyscuffle
