#include "MenuOption.h"

#include "game/widgets/Icon.h"

#include "engine/core/World.h"

namespace skyscuffle {

namespace {

void advanceIcon(kit::World* world, const kit::EntityHandle& entity)
{
    if (Icon* icon = world->getComponent<Icon>(entity.id))
        icon->advance();
}

} // namespace

void MenuOption::select()
{
    if (!enabled || !world)
        return;
    if (cycles) {
        if (states.empty())
            return;
        advanceIcon(world, states[static_cast<std::size_t>(stateIndex)]);
        stateIndex = (stateIndex + 1) % static_cast<int>(states.size());
        advanceIcon(world, states[static_cast<std::size_t>(stateIndex)]);
    }
    if (action)
        action();
}

} // namespace skyscuffle
