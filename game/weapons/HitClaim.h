#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"
#include "engine/network/NamedFunction.h"

#include <glm/vec2.hpp>

#include <deque>

namespace skyscuffle {

namespace fn {
// The plane a bullet met on its shooter's copy: the bullet's owner's call.
inline constexpr kit::NamedFunction<kit::EntityID> claimHit{"claimHit"};
} // namespace fn

// A hit the shooter saw, judged by the copy that owns the plane: against
// where that plane was when the shooter saw it (as far back as the link's
// one-way delay, never more than rewindSeconds), with tolerance for how far
// the shooter's view of it may have been off. A claim that passes is the
// hit, as if the bullet had met the plane here; one that does not changes
// nothing, and the bullet flies on here.
struct HitClaim {
    static constexpr float rewindSeconds = 0.15f;
    // One plane length: what a shooter's view may be off by and still count.
    static constexpr float tolerance = 4.0f;

    struct Place {
        float time = 0.0f;
        glm::vec2 position{0.0f};
    };
    // Whether a bullet now at `bullet`, flying straight at `velocity`, was
    // within `reach` of the plane at one of its `places` of the last
    // `rewind` seconds (the places' clock reads `now`).
    static bool met(glm::vec2 bullet, glm::vec2 velocity, float now, const std::deque<Place>& places, float rewind,
                    float reach);
};

// Where a plane of this copy's has been lately: the places hits are judged
// against. Each frame, after everything has moved, it keeps the plane's place
// and forgets those older than keepSeconds.
class RecentPlaces : public kit::Behavior {
public:
    static constexpr float keepSeconds = 0.3f;

    RecentPlaces();
    void update(float dt) override;

    [[nodiscard]] const std::deque<HitClaim::Place>& places() const { return places_; }
    [[nodiscard]] float clock() const { return clock_; }

private:
    std::deque<HitClaim::Place> places_;
    float clock_ = 0.0f;
};

// Whether this copy carries peers' projectiles forward and sends and judges
// hit claims (tuning.network.projectileLead, 1 unless set to 0).
bool leadsProjectiles();

// "claimHit": on the copy that owns the plane, and only for a peer's bullet
// still flying here, the hit is judged (HitClaim) and, when it passes, taken
// as the bullet's hit. Every other copy does nothing.
void claimHit(kit::EntityHandle bullet, kit::EntityID plane);

} // namespace skyscuffle
