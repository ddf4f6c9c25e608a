#include "ScreenRegistry.h"

#include "game/match/GameWorld.h"
#include "game/screens/CreditsScreen.h"
#include "game/screens/JoinScreen.h"
#include "game/screens/MainMenu.h"
#include "game/screens/NetworkScreen.h"
#include "game/screens/OptionsScreen.h"
#include "game/screens/PlaceholderScreen.h"
#include "game/screens/ReplaysScreen.h"
#include "game/screens/ScreenSwitch.h"
#include "game/screens/WinScreen.h"

#include "engine/core/application/Application.h"

namespace skyscuffle {

namespace screens {

kit::World::SetupFunction screenNamed(const std::string& name)
{
    if (name == "main")
        return createMainMenu;
    if (name == "game")
        return createJoinScreen;
    if (name == "online")
        return createNetworkScreen;
    if (name == "local")
        return createPlaceholderScreen;
    if (name == "credits")
        return CreditsScreenInit{0};
    if (name == "options")
        return createOptionsScreen;
    if (name == "replays")
        return createReplaysScreen;
    return {};
}

MatchExits matchExits()
{
    return MatchExits{[](const MatchResult& result) -> kit::World::SetupFunction {
                          return WinScreenInit{result.table, result.watchedHere, result.watchedElsewhere, result.rounds,
                                               result.teams};
                      },
                      createMainMenu};
}

kit::World::SetupFunction matchWorld()
{
    return [](kit::World* world) { createGameWorld(world, matchExits()); };
}

kit::World::SetupFunction watchWorld()
{
    return [](kit::World* world) {
        MatchView view;
        view.watching = true;
        createGameWorld(world, matchExits(), view);
    };
}

void goToScreen(kit::World* world, const std::string& name)
{
    if (name == "exit") {
        if (world && world->owner)
            world->owner->stop();
        return;
    }
    if (auto setup = screenNamed(name))
        switchTo(world, std::move(setup));
}

} // namespace screens

} // namespace skyscuffle
