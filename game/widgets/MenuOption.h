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

// One entry of a picture menu and what choosing it does: an option that
// cycles first shows the next of the pictures of `states`, then its action runs.
struct MenuOption {
    bool enabled = true;
    bool cycles = false;                   // through the pictures of `states`
    std::string name;                      // what the menu calls it (the main menu: the screen it opens)
    std::vector<kit::EntityHandle> states; // entities with an Icon each
    int stateIndex = 0;
    glm::vec3 position{0.0f}; // where the option is drawn
    glm::vec2 size{0.0f};
    kit::World* world = nullptr;
    std::function<void()> action;

    // Chooses the option (Enter, or the joystick's A or Start, through its menu).
    void select();
};

} // namespace skyscuffle
