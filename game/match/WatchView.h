#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/Signal.h"

#include <string>
#include <vector>

namespace skyscuffle {

// What a copy that watches a match live shows and takes over the match: a
// line at the top right ("Watching", and whom), and the replay viewer's
// camera key that makes sense live: F (or the pad's Y) follows the next
// plane, then everyone again. No pause and no seek: the match is the
// host's. Its entity carries the line's text.
class WatchView : public kit::Behavior {
public:
    WatchView();
    // Adds one to the world's HUD, with its line.
    static WatchView* addTo(kit::World& world);

    void initialize() override;
    void onRemoved() override;

    // What F does.
    void followNext();
    // The colour of the plane followed; empty while following everyone.
    [[nodiscard]] const std::string& following() const { return following_; }
    // The line shown.
    [[nodiscard]] std::string status() const;

private:
    void show();

    std::string following_;
    std::vector<kit::ScopedConnection> keys_;
};

} // namespace skyscuffle
