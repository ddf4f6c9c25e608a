#pragma once

#include "GlideCorrection.h"

#include "engine/core/Behavior.h"

#include <cstdint>
#include <string>

namespace kit {

// Lets another copy's entity glide between its owner's records instead of
// jumping to each (GlideCorrection says how). On the owner it only keeps the
// clock its records are stamped with. Replicated as "glide": the owner's
// clock in whole milliseconds (a u32; another copy's glide writes the
// stamp it last read). Runs after the bodies have moved
// their entities, before collisions are looked for, so that what is hit is
// where the entity is shown.
class Glide : public Behavior {
public:
    explicit Glide(GlideSettings settings = GlideSettings{});

    void update(float dt) override;
    void serialize(NetStream& stream) override;
    std::string networkTypeName() const override { return "glide"; }
    void stateArrived(float delay) override;

    [[nodiscard]] const GlideCorrection& correction() const { return correction_; }

    // How the entity flies on from a record: by default in a straight line
    // at the record's velocity; a plane sets its own flight rules here.
    GlideCorrection::Carry carry;
    // False: another copy's records are taken as they come, where the entity
    // was when they were sent (a replay plays them as they came).
    bool glides = true;

private:
    GlideCorrection correction_;
    double clock_ = 0.0;            // seconds of updates here
    std::uint32_t stamp_ = 0;       // the last stamp read from the owner
    bool stampFresh_ = false;       // read since the last record was taken
    std::uint32_t recordsSeen_ = 0; // the transform's count when last looked at
    GlideCorrection::Pose shown_;   // where the entity was shown at the end of the last frame
    bool shownKnown_ = false;
};

} // namespace kit
