#pragma once

#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace test {

// A world made current by a real application on a detached window, so that it
// counts as started exactly as the game's worlds do.
struct StartedWorld : ::testing::Test {
    std::vector<std::string> log; // outlives the world, whose probes write to it
    kit::Window window;
    kit::Application app{&window, nullptr};
    std::shared_ptr<kit::World> world = std::make_shared<kit::World>();

    void SetUp() override { app.setWorld(world); }
};

} // namespace test
