#pragma once

namespace skyscuffle {

struct DataDirectory;
struct LaunchOptions;

// Starts the game with its data and the command line's options, runs it until
// the window closes or the player quits, and shuts it down. Returns the
// process's exit status.
int runSkyscuffle(const LaunchOptions& options, const DataDirectory& data);

} // namespace skyscuffle
