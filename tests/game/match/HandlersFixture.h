// A game world with every named function of a match registered, and the
// console captured: what the handlers take and what they say of the rest.
#pragma once

#include "game/match/MatchFunctions.h"

#include "engine/render/Text.h"
#include "support/GameWorld.h"

#include <gtest/gtest.h>

#include <string>

using namespace skyscuffle;

namespace test {

struct Handlers : GameWorld {
    void SetUp() override
    {
        GameWorld::SetUp();
        registerGameplayFunctions(*world);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
    }
    void TearDown() override
    {
        if (!done)
            finish();
    }
    void finish()
    {
        done = true;
        out = testing::internal::GetCapturedStdout();
        err = testing::internal::GetCapturedStderr();
    }
    std::size_t texts() { return world->getEntities(kit::typeId<kit::Text>())->size(); }

    bool done = false;
    std::string out, err;
};

} // namespace test
