#pragma once

namespace skyscuffle {

// What a computer pilot does this frame: writes its stick and buttons.
class Action {
public:
    virtual ~Action() = default;
    virtual void perform() = 0;
};

} // namespace skyscuffle
