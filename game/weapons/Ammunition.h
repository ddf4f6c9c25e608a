#pragma once

namespace skyscuffle {

// The shots a weapon of limited supply has left, kept by whatever gave the
// plane that weapon (a weapon power): the weapon spends them, the giver ends
// once they are out. The weapon finds its supply on the plane by the
// giver's tag, so it never outlives it unnoticed.
class Ammunition {
public:
    int shotsLeft;

protected:
    explicit Ammunition(int shots) : shotsLeft(shots) {}
    ~Ammunition() = default;
};

} // namespace skyscuffle
