#include "MenuOption.h"

#include "game/screens/Icon.h"
#include "game/screens/ScreenRegistry.h"

#include "game/sound/SoundManager.h"

#include "engine/core/Log.h"
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
    if (switchesWorld) {
        kit::log::info() << "World Changed";
        screens::goToScreen(world, worldName);
    } else if (cycles) {
        if (states.empty())
            return;
        advanceIcon(world, states[static_cast<std::size_t>(stateIndex)]);
        stateIndex = (stateIndex + 1) % static_cast<int>(states.size());
        advanceIcon(world, states[static_cast<std::size_t>(stateIndex)]);
        if (togglesSound) {
            if (SoundManager* sounds = SoundManager::of(world))
                sounds->soundOn = !sounds->soundOn;
        }
    } else if (hasAction && action) {
        action();
    }
}

} // namespace skyscuffle
