#pragma once

#include "engine/core/Log.h"

#include <cstdint>
#include <optional>
#include <string>

namespace skyscuffle {

// What the command line asks of one run of the game. Nothing here is kept:
// it overrides the settings for this run only, until the player chooses
// otherwise on the Options screen.
struct LaunchOptions {
    std::optional<bool> fullscreen;                              // --fullscreen, --windowed
    std::optional<int> width, height;                            // --size WxH
    std::string dataDirectory;                                   // --data DIR; empty: look for it
    bool host = false;                                           // --host: straight to a hosted session
    std::string joinAddress;                                     // --join ADDRESS[:PORT]; empty: none
    std::uint16_t joinPort = 0;                                  // 0: the tuning's game port
    bool mute = false;                                           // --mute
    std::string replayFile;                                      // --replay FILE: straight to its playback
    std::string clipFile;                                        // --clip OUT.webp: only a clip of the replay
    float clipFrom = 0.0f;                                       // --clip-from S
    float clipSeconds = 10.0f;                                   // --clip-seconds N
    int clipWidth = 640, clipHeight = 360;                       // --clip-size WxH
    std::string viewLog;                                         // --view-log FILE: what this copy shows, for measuring
    kit::log::Verbosity verbosity = kit::log::Verbosity::normal; // --verbose, --quiet
};

} // namespace skyscuffle
