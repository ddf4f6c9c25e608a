#pragma once

#include "game/combat/Health.h"
#include "game/combat/Score.h"
#include "game/combat/ScoreFunctions.h"
#include "game/match/MatchFunctions.h"

#include "engine/physics/Body.h"
#include "engine/physics/Transform.h"
#include "support/GameWorld.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace skyscuffle;

namespace test {

// A plane's health, score and what the tests count: the game's named
// functions, registered here as the game world registers them.
struct Planes : GameWorld {
    std::vector<std::string> calls;

    void SetUp() override
    {
        GameWorld::SetUp();
        network->registerFunction(*world, fn::addKillPoints, [this](kit::EntityHandle e) {
            calls.push_back("kill " + std::to_string(e.id.serial));
            addKillPoints(e);
        });
        network->registerFunction(*world, fn::addDeathPoints, [this](kit::EntityHandle e) {
            calls.push_back("death " + std::to_string(e.id.serial));
            addDeathPoints(e);
        });
        network->registerFunction(*world, fn::grantInvincibility, [this](kit::EntityHandle e) {
            calls.push_back("invincible " + std::to_string(e.id.serial));
        });
        testing::internal::CaptureStdout();
    }
    void TearDown() override { stdoutText = testing::internal::GetCapturedStdout(); }

    kit::EntityHandle plane(std::uint32_t origin = 0)
    {
        const kit::EntityHandle p = origin
                                        ? kit::EntityHandle{kit::EntityID{origin, kit::nextEntitySerial()}, world.get()}
                                        : world->createEntity();
        world->addComponent(p, new kit::Transform(glm::vec3(30, 40, 0)));
        world->addComponent(p, new kit::Body(glm::vec3(5, 5, 0)));
        world->addComponent(p, new Health(10.0f));
        world->addComponent(p, new Score);
        return p;
    }
    Health& health(kit::EntityHandle p) { return *world->getComponent<Health>(p.id); }
    int points(kit::EntityHandle p) { return world->getComponent<Score>(p.id)->points; }
    bool has(kit::EntityHandle p, kit::TagId tag) { return world->getComponent(p.id, tag) != nullptr; }

    std::string stdoutText;
};

} // namespace test
