#include "VirtualGamepadAI.h"

#include "game/ai/ArtificialIntelligence.h"

namespace skyscuffle {

VirtualGamepadAI::VirtualGamepadAI(ArtificialIntelligence* ai) : ai(ai)
{
    addTag(kit::typeId<VirtualGamepadAI>());
}

bool VirtualGamepadAI::isButtonDown(int button) const
{
    if (!ai || button < 0 || button >= static_cast<int>(ai->buttons.size()))
        return false;
    return ai->buttons[static_cast<std::size_t>(button)];
}

glm::vec2 VirtualGamepadAI::direction() const
{
    return ai ? limitToUnit(ai->stick) : glm::vec2(0.0f);
}

VirtualGamepad* VirtualGamepadAI::clone() const
{
    return detached(new VirtualGamepadAI(*this));
}

} // namespace skyscuffle
