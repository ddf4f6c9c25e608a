#pragma once

// Starts the game, runs it until the window closes or the player quits, and
// shuts it down. Returns the process's exit status.
int runSkyscuffle();
