#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/Signal.h"

#include <memory>
#include <string>
#include <vector>

namespace kit {
class Joystick;
}

namespace skyscuffle {

struct MatchState;

// What a copy that watches a match live shows and takes over the match: a
// line at the top right ("Watching", and whom, and how to drop in), the
// replay viewer's camera key that makes sense live: F (or the pad's Y)
// follows the next plane, then everyone again; and a player's join key (as
// bound for the join screen, or the pad's A) that drops the player into the
// match (see DropIn.h). No pause and no seek: the match is the host's. Its
// entity carries the line's text. Once a player of this copy dropped in, it
// goes: the copy plays.
class WatchView : public kit::Behavior {
public:
    explicit WatchView(std::shared_ptr<const MatchState> state);
    // Adds one to the world's HUD, with its line.
    static WatchView* addTo(kit::World& world, std::shared_ptr<const MatchState> state);

    void update(float dt) override;

    void initialize() override;
    void onRemoved() override;

    // What F does, and a player's join key (device as JoinedBy has it).
    void followNext();
    void dropIn(int device, kit::Joystick* joystick);
    // The colour of the plane followed; empty while following everyone.
    [[nodiscard]] const std::string& following() const { return following_; }
    // The line shown.
    [[nodiscard]] std::string status() const;

private:
    void show();

    std::shared_ptr<const MatchState> state_;
    std::string following_;
    std::string shown_;
    std::vector<kit::ScopedConnection> keys_;
};

} // namespace skyscuffle
