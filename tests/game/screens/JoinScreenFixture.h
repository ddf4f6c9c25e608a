// The join screen started on the test's copy of the game, and what it shows.
#pragma once

#include "ScreenFixture.h"

#include "game/screens/JoinScreen.h"

#include "engine/render/Text.h"

#include <string>

namespace test {

class JoinScreen : public Screens {
protected:
    void SetUp() override
    {
        Screens::SetUp();
        start(createJoinScreen);
        frame();
    }
    std::size_t players() const { return entitiesWith("playerInfo"); }
    // Every text the screen shows, joined by line ends.
    std::string shown() const
    {
        std::string all;
        for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Text>()))
            all += static_cast<kit::Text*>(c)->text() + "\n";
        return all;
    }
};

} // namespace test
