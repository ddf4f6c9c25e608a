#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/Signal.h"
#include "engine/network/TokenBucket.h"

#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

namespace skyscuffle {

// What one copy's projectiles (bullets and bombs, counted together) may cost
// this copy: so many alive at once, and a steady rate of new ones with room
// for a burst, per copy that owns them (the origin of their ids). A peer that
// fires without end gets that much and no more; the spawns beyond are
// refused, with at most one line a second on standard error. This copy's own
// projectiles are counted but never refused: the limits stand against what
// peers send, as the network system's budgets do.
//
// The defaults leave ample room above an honest copy. Measured with
// match_sim (8 computer pilots of one copy, seeds 1 to 5, 180 s each): at
// most 90 projectiles of the copy alive, at most 45 fired within one second.
// Six players of one copy all firing without pause (a gatling gun's 10
// bullets a second or a shotgun's blast of 10 pellets a second, and the basic
// gun's 3.3 a second, bullets living 5 s) would fire 80 a second, some 145
// in their busiest second (a blast, then a gatling gun picked up), and keep
// about 420 alive: within a rate of 100 a second after a burst of 200, and
// half the 800 that may be alive (at the rate, bullets of 5 s keep at most
// 700 alive; the ceiling stops the longer lives a peer may ask for).
//
// One lives in the match world. The limits come from the tuning file when
// the budget is made ("tuning.projectiles.*", read again for the next match).
class ProjectileBudget : public kit::Behavior {
public:
    struct Limits {
        float alive = 800.0f;     // projectiles of one copy alive at once
        float perSecond = 100.0f; // new projectiles of one copy per second, steadily
        float burst = 200.0f;     // and at once after a quiet while
    };

    // The tuning file's limits; a value that is not a number of at least 1
    // gives the default (and one line on standard error).
    [[nodiscard]] static Limits tuned();
    // The budget of a world, or null when it has none (every spawn is allowed).
    [[nodiscard]] static ProjectileBudget* of(kit::World* world);

    explicit ProjectileBudget(Limits limits = tuned());

    void onAdded() override;
    void onRemoved() override;
    void update(float dt) override;

    // Whether a projectile of the copy `origin` may be made now by the named
    // function (for the console line when not); if so it has taken its share
    // of that copy's rate. Always true for this copy's own projectiles.
    bool admit(std::uint32_t origin, std::string_view function);
    // Projectiles of the copy alive in the world.
    [[nodiscard]] int alive(std::uint32_t origin) const;
    // Projectiles refused so far.
    [[nodiscard]] long refused() const { return refused_; }

    const Limits limits;

private:
    struct Copy {
        explicit Copy(const Limits& limits) : rate(limits.perSecond, limits.burst) {}
        int alive = 0;
        kit::TokenBucket rate;
    };

    Copy& copy(std::uint32_t origin);
    void count(const kit::Component* projectile, int change);
    void refuse(std::string_view function, std::uint32_t origin, std::string_view why);

    std::map<std::uint32_t, Copy> copies_;
    std::vector<kit::ScopedConnection> connections_; // to the world's projectiles coming and going
    float clock_ = 0.0f;                             // seconds of the world's updates
    bool told_ = false;
    float toldAt_ = 0.0f;
    unsigned untold_ = 0;
    long refused_ = 0;
};

} // namespace skyscuffle
