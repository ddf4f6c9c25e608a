#pragma once

#include "FrameTimes.h"
#include "MatchStatistics.h"
#include "Session.h"

#include "game/ai/PilotSkill.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using namespace skyscuffle;

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
    // --samples N: the window's multisampling, as the game's window.samples:
    // -1 (the default) decides as the game does, none on a software renderer.
    int samples = -1;
    int width = 800, height = 600; // --size WxH: the window's
    // --strengths easy,normal,hard: the pilots' strengths in player order;
    // players beyond the list fly at normal.
    std::vector<PilotStrength> strengths;

    // Session options (SessionOptions.cpp).
    int matches = 1;            // back to back, through a lobby, with the same players
    std::uint16_t hostPort = 0; // --host PORT: this copy hosts a networked match
    std::string joinHost;       // --join ADDRESS:PORT: this copy joins one
    std::uint16_t joinPort = 0;
    int copies = 1;               // the host starts once this many copies (itself too) are in
    float lobbySeconds = 120.0f;  // how long a lobby waits for the session
    std::uint16_t rejoinPort = 0; // --rejoin-port PORT: a next host is reached there (a relay), not on the game port
};

// Reads the command line; prints the usage line and returns false on bad input.
bool parseOptions(int argc, char** argv, SimulatorOptions& options);
// One session option at argv[i] (advancing i past its value): true when it
// was one, false otherwise; `bad` is set when its value is unusable.
bool parseSessionOption(int argc, char** argv, int& i, SimulatorOptions& options, bool& bad);
// The session options' part of the usage line, and their checks.
extern const char* const sessionUsage;
bool sessionOptionsValid(const SimulatorOptions& options);

// One match of computer pilots in the game's own world, stepped at 1/60 s.
class Simulator {
public:
    explicit Simulator(SimulatorOptions options);
    ~Simulator();

    [[nodiscard]] bool ready() const { return app_ != nullptr; }
    // Plays the matches to their end; prints the players and the summary of
    // each, and with several matches the lobby counts and memory. 0 on success.
    int run();

private:
    void addPlayers();
    bool waitForResources();
    void saveFrame(long frame);
    // One match from the lobby to its end; 0 when it ended.
    int playMatch(int match);
    void report(const MatchStatistics& statistics, long frames, double wallSeconds, std::vector<double> updateMicros,
                std::size_t peakEntities, std::size_t peakParticles, double rssStart, double rssEnd);

    SimulatorOptions options_;
    std::unique_ptr<kit::GlfwLibrary> glfw_;
    std::unique_ptr<kit::Window> window_;
    std::unique_ptr<kit::RenderState> renderState_;
    std::unique_ptr<kit::Application> app_;
    FrameTimes frameTimes_;
    std::unique_ptr<Session> session_;
};
