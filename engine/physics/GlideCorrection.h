#pragma once

#include <glm/gtc/quaternion.hpp>
#include <glm/vec3.hpp>

#include <cstdint>
#include <functional>
#include <optional>

namespace kit {

// Where another copy's entity is shown, between its owner's records: each
// record is carried forward to now (its velocity times its estimated age),
// and the difference from where the entity is shown is blended in over a
// short time rather than jumped to. A record far from the shown place (a
// respawn, a teleport) is taken at once; a record older than one already
// taken is ignored.
//
// The age of a record is the link's one-way delay, corrected by how late
// this record came compared with the others: the owner stamps its records
// with its own clock, and a record that took longer than the usual gap
// between that clock and this one is older by the difference. The usual gap
// follows slowly; a gap that jumps by more than a second (the owner's clock
// or this one stepped) starts it afresh.
// How a glide blends: see GlideCorrection.
struct GlideSettings {
    float seconds = 0.07f;      // the time constant of the blend
    float snapDistance = 30.0f; // farther than this from the shown place: taken at once
    // Nearer than this (and turned by less than about 3 degrees) it is taken
    // at once too: too small to see as a jump, and a blend would only keep
    // the entity that much off for a while.
    float blendFrom = 1.0f;
    // A record is never carried forward further. Nothing is added to the
    // link's delay: measured on loopback and through a delaying relay, half
    // the round trip puts a plane flying straight where its owner has it,
    // through the host or not, within two milliseconds.
    float maxAge = 0.3f;
    // The blend never moves the entity faster than this, units a second, on
    // top of its own motion: a large correction (a dash seen late) is taken
    // as a short glide, not as a jump.
    float maxCorrectionSpeed = 200.0f;
};

class GlideCorrection {
public:
    struct Pose {
        glm::vec3 position{0.0f};
        glm::quat rotation{1.0f, 0.0f, 0.0f, 0.0f};
    };
    using Settings = GlideSettings;
    // A record of the owner: where the entity was and how fast it flew when
    // the owner stamped it (owner's clock, seconds), when it arrived here
    // (this copy's clock, seconds), and the link's one-way delay (seconds).
    struct Record {
        Pose pose;
        glm::vec3 velocity{0.0f};
        std::optional<double> stamp; // nothing: the owner sent no stamp
        double arrival = 0.0;
        float delay = 0.0f;
    };

    explicit GlideCorrection(Settings settings = GlideSettings{}) : settings_(settings) {}

    // How a record is carried forward by its age: the pose and the velocity
    // in, the ones `seconds` later out. By default in a straight line.
    using Carry = std::function<void(Pose& pose, glm::vec3& velocity, float seconds)>;
    static void straight(Pose& pose, glm::vec3& velocity, float seconds);

    // Takes a record while the entity is shown at `shown`; returns where it
    // is to be shown now (the shown pose itself while blending, the record
    // carried forward on a snap), or nothing when the record is ignored
    // (out of order). `velocity` gets the record's velocity carried forward
    // (unchanged when the record is ignored).
    std::optional<Pose> receive(const Pose& shown, const Record& record, glm::vec3& velocity,
                                const Carry& carry = straight);
    // One frame of `dt` seconds: the share of the pending correction that
    // the blend takes in this frame, added to `shown`. A non-finite or
    // negative dt takes nothing; a long one takes all that is pending.
    Pose step(const Pose& shown, float dt);

    // What is still to be blended in.
    [[nodiscard]] glm::vec3 pendingOffset() const { return offset_; }
    [[nodiscard]] glm::quat pendingTurn() const { return turn_; }
    // The age the last record taken was given, seconds.
    [[nodiscard]] float lastAge() const { return lastAge_; }
    // Snaps taken so far (the first record is one).
    [[nodiscard]] std::uint32_t snaps() const { return snaps_; }

private:
    float ageOf(const Record& record);

    Settings settings_;
    glm::vec3 offset_{0.0f};
    glm::quat turn_{1.0f, 0.0f, 0.0f, 0.0f};
    bool started_ = false;
    std::optional<double> lastStamp_;
    std::optional<double> usualGap_; // arrival - stamp, followed slowly
    float lastAge_ = 0.0f;
    std::uint32_t snaps_ = 0;
};

} // namespace kit
