#pragma once

#include "engine/core/Behavior.h"
#include "engine/network/replay/ReplayRecorder.h"

#include <memory>

namespace skyscuffle {

// Records the match of its world as this copy sees it, from the frame it is
// added until the match ends (see saveMatchReplay): every call that runs
// here and every state packet, its own and its peers'. A match world without
// a network system records nothing.
class MatchRecording : public kit::Behavior {
public:
    MatchRecording();

    void initialize() override;
    void update(float dt) override;
    void onRemoved() override;

    // The recording of the world's match, if it has one.
    static MatchRecording* of(kit::World* world);

    // Null before the first frame and after the match.
    [[nodiscard]] kit::ReplayRecorder* recorder() { return recorder_.get(); }

private:
    std::unique_ptr<kit::ReplayRecorder> recorder_;
};

} // namespace skyscuffle
