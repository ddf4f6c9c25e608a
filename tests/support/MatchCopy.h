#pragma once

#include "FakeGamepad.h"

#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/VirtualGamepadAI.h"
#include "game/lobby/JoinedBy.h"
#include "game/match/MatchFunctions.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerFunctions.h"
#include "game/screens/ScreenRegistry.h"
#include "game/sound/SoundManager.h"
#include "game/sound/audio/AudioSystem.h"

#include "engine/core/Label.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/network/NetworkSystem.h"
#include "engine/render/state/RenderState.h"

#include <memory>

using namespace skyscuffle;

namespace test {

// One copy of the game on a shared window: its application, a lobby with
// the services (network system, sound manager) and its players, ready to
// switch into a match world.
struct MatchCopy {
    std::unique_ptr<kit::Application> app;
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);
    SoundManager* sounds;

    MatchCopy(kit::Window& window, kit::RenderState* state, std::uint32_t origin, audio::AudioSystem& audio)
        : app(std::make_unique<kit::Application>(&window, state)), sounds(new SoundManager(audio))
    {
        auto lobby = std::make_shared<kit::World>();
        lobby->origin = origin;
        for (kit::Component* service : {static_cast<kit::Component*>(network), static_cast<kit::Component*>(sounds)}) {
            service->addTag(kit::tagId("persistant"));
            lobby->addComponent(kit::EntityHandle{lobby->systemEntity(), lobby.get()}, service);
        }
        registerPlayerFunctions(*network);
        app->setWorld(lobby);
    }
    ~MatchCopy() { app.reset(); }

    kit::World& world() { return *app->current; }

    // A player of this copy: a computer pilot, or a gamepad the test holds.
    kit::EntityHandle addPlayer(int colour, FakeGamepad** gamepad = nullptr)
    {
        kit::World& w = world();
        const kit::EntityHandle player = w.createEntity();
        auto keep = [&](kit::Component* c) {
            c->addTag(kit::tagId("persistant"));
            w.addComponent(player, c);
        };
        keep(new kit::Label("player"));
        keep(new JoinedBy(JoinedBy::keyboard, gamepad == nullptr));
        if (gamepad) {
            *gamepad = new FakeGamepad;
            keep(*gamepad);
        } else {
            auto* ai = new ArtificialIntelligence;
            keep(ai);
            keep(new VirtualGamepadAI(ai));
        }
        network->callFunction(fn::spawnPersistantPlayer, player,
                              playerColours()[static_cast<std::size_t>(colour) % playerColours().size()], colour + 1);
        return player;
    }

    void enterMatch()
    {
        app->setWorld(std::make_shared<kit::World>(screens::matchWorld()));
        app->frame(1.0f / 60.0f, false);
    }
    // A match world that watches the session's running match.
    void watchMatch()
    {
        app->setWorld(std::make_shared<kit::World>(screens::watchWorld()));
        app->frame(1.0f / 60.0f, false);
    }
    void frame(float dt = 1.0f / 60.0f) { app->frame(dt, false); }
};

} // namespace test
