#pragma once

#include "engine/network/replay/ReplayFile.h"

#include <memory>

// Plays a replay to its end as fast as the machine goes, in a hidden window,
// checking at every state packet that the played-back world holds what the
// recording copy had (see kit::ReplayFeed::Check), that every recorded call
// ran, and how far seeking lands from where it was asked to. Prints the
// figures; true when everything matched.
bool checkReplay(const std::shared_ptr<const kit::Replay>& replay);
