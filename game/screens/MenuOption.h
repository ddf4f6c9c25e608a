#pragma once

#include "engine/core/EntityHandle.h"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <functional>
#include <string>
#include <vector>

namespace kit {
class World;
}

namespace skyscuffle {

// One entry of a menu and what choosing it does. The flags are checked in
// the order below: an option that switches worlds does nothing else.
struct MenuOption {
    bool enabled = true;
    bool switchesWorld = false;            // to the screen named by worldName
    bool cycles = false;                   // through the pictures of `states`
    bool toggles = false;                  // not used by the game's menus
    bool hasAction = false;                // calls `action`
    bool togglesSound = false;             // with `cycles`: also flips the sound switch
    std::string worldName;                 // "game", "main", "exit", "local", "online", "options" or "credits"
    std::vector<kit::EntityHandle> states; // entities with an Icon each
    int stateIndex = 0;
    glm::vec3 position{0.0f}; // where the option is drawn
    glm::vec2 size{0.0f};
    kit::World* world = nullptr;
    std::function<void()> action;

    // Chooses the option (Enter, or the joystick's A or Start, through the Cursor).
    void select();
};

} // namespace skyscuffle
