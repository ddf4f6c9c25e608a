#pragma once

#include "engine/core/Behavior.h"

#include <string>
#include <vector>

namespace skyscuffle {

// The pictures an option shows in turn (the Sound option's on and off). The
// entity's Sprite shows the current one.
class Icon : public kit::Behavior {
public:
    explicit Icon(std::vector<std::string> textures, bool canAdvance = true);

    // Shows the next picture, after the last the first again; nothing when
    // advancing is not allowed.
    void advance();

    std::vector<std::string> textures; // paths under the asset directory
    std::size_t shown = 0;
    bool canAdvance;
};

} // namespace skyscuffle
