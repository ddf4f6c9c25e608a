#pragma once

#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

#include <memory>

namespace test {

// A started world with a network system on its system entity, as the game's
// worlds have: named functions called from gameplay run here at once.
struct GameWorld : ::testing::Test {
    kit::Window window; // detached: no display needed
    kit::Application app{&window, nullptr};
    std::shared_ptr<kit::World> world = std::make_shared<kit::World>();
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);

    void SetUp() override
    {
        world->addComponent(kit::EntityHandle{world->systemEntity(), world.get()}, network);
        app.setWorld(world);
    }
    // Runs frames of dt seconds.
    void run(int frames, float dt)
    {
        for (int i = 0; i < frames; ++i)
            world->update(dt);
    }
    // The number of live entities carrying a tag.
    std::size_t count(const char* tag) { return world->getEntities(kit::tagId(tag))->size(); }
};

} // namespace test
