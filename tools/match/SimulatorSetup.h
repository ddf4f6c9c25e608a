#pragma once

#include "FrameTimes.h"
#include "MatchStatistics.h"

#include <memory>
#include <string>
#include <vector>

namespace kit {
class Application;
class GlfwLibrary;
class RenderState;
class Window;
class World;
} // namespace kit

struct SimulatorOptions {
    int players = 4;
    float seconds = 180.0f;
    unsigned long long seed = 1;
    bool render = false;
    int framesEvery = 0; // with render: every K-th frame saved as a PNG
    std::string out;
    bool batching = true; // --no-batching: every renderable drawn alone
};

// Reads the command line; prints the usage line and returns false on bad input.
bool parseOptions(int argc, char** argv, SimulatorOptions& options);

// One match of computer pilots in the game's own world, stepped at 1/60 s.
class Simulator {
public:
    explicit Simulator(SimulatorOptions options);
    ~Simulator();

    [[nodiscard]] bool ready() const { return app_ != nullptr; }
    // Plays the match to its end; prints the players and the summary. 0 on success.
    int run();

private:
    void addPlayers();
    bool waitForResources();
    void saveFrame(long frame);
    void report(long frames, double wallSeconds, std::vector<double> updateMicros, std::size_t peakEntities,
                std::size_t peakParticles, double rssStart, double rssEnd);

    SimulatorOptions options_;
    std::unique_ptr<kit::GlfwLibrary> glfw_;
    std::unique_ptr<kit::Window> window_;
    std::unique_ptr<kit::RenderState> renderState_;
    std::unique_ptr<kit::Application> app_;
    MatchStatistics statistics_;
    FrameTimes frameTimes_;
};
