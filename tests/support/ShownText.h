// What a world's texts say: the HUD's and the screens' words, as a player reads them.
#pragma once

#include "engine/core/World.h"
#include "engine/render/Text.h"

#include <string>

namespace test {

// Every text the world draws, one a line, in no set order.
inline std::string shownText(kit::World& world)
{
    std::string all;
    for (kit::Component* c : world.getComponentCollection(kit::typeId<kit::Text>())->toVector())
        all += static_cast<kit::Text*>(c)->text() + "\n";
    return all;
}

// Whether one of the world's texts says exactly `words`.
inline bool showsText(kit::World& world, const std::string& words)
{
    return ("\n" + shownText(world)).find("\n" + words + "\n") != std::string::npos;
}

} // namespace test
