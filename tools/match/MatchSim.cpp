// Runs real matches of computer pilots as fast as the machine allows, for
// tuning the game and measuring it:
//
//   match_sim [--players N] [--seconds S] [--seed K] [--render]
//             [--frames-every K --out DIR]
//
// Run from the repository root (the game's assets), under a display (the
// HUD needs an OpenGL context even when nothing is drawn) and inside the
// private network namespace, like the game. The same seed gives the same
// per-player lines.
#include "MatchStatistics.h"
#include "SimulatorSetup.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    SimulatorOptions options;
    if (!parseOptions(argc, argv, options))
        return 2;
    Simulator simulator(options);
    if (!simulator.ready())
        return 1;
    return simulator.run();
}
