#pragma once

namespace kit {
class World;
}

namespace skyscuffle {

// The setup function of one page of the credits (pages 0 to 5; the main
// menu opens page 0). Enter or the joystick's A opens the next page, and
// after the last one the main menu; Escape, B or Back return to the main
// menu. A page number of 6 or more fills the main menu instead.
struct CreditsScreenInit {
    int page = 0;

    static constexpr int pageCount = 6;

    void operator()(kit::World* world) const;
};

} // namespace skyscuffle
