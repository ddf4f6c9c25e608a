#include "SimulatorSetup.h"

#include "FrameTimes.h"
#include "GraphicsDriver.h"
#include "SoakRecord.h"

#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/VirtualGamepadAI.h"
#include "game/common/ArenaLayout.h"
#include "game/common/Random.h"
#include "game/common/ViewLog.h"
#include "game/match/MatchFunctions.h"
#include "game/match/MatchRules.h"
#include "game/match/MatchSettings.h"
#include "game/match/RoundKeeper.h"
#include "game/match/Rounds.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerFunctions.h"
#include "game/screens/ScreenRegistry.h"

#include "engine/render/RenderSettings.h"

#include "engine/core/GlfwLibrary.h"
#include "engine/core/Label.h"
#include "engine/core/Settings.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/core/application/GlewInitError.h"
#include "engine/network/NetworkSystem.h"
#include "engine/render/state/RenderState.h"
#include "engine/render/state/SoftwareRenderer.h"
#include "engine/resources/AsyncResourceManagerBase.h"
#include "engine/resources/ResourceBucket.h"

#include <GL/glew.h>
#include <lodepng.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace skyscuffle;

namespace {

double residentMegabytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

} // namespace

bool parseOptions(int argc, char** argv, SimulatorOptions& options)
{
    auto usage = [] {
        std::cerr << "usage: match_sim [--players N] [--seconds S] [--seed K] [--render] [--frames-every K --out DIR]"
                     " [--mode ffa|lps|teams] [--arena meadow|canyon|harbour] [--no-batching] [--samples N] [--size "
                     "WxH] [--set KEY=VALUE] "
                     "[--strengths LEVEL,LEVEL,...] "
                     "[--record FILE] [--view-log FILE] "
                  << sessionUsage << "\n";
        return false;
    };
    // A simulated match keeps no replay on the player's shelf; --record writes one to a file.
    kit::settings::set(skyscuffle::matchSettings::replaysKept.key(), "0");
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                std::cerr << name << " needs a value\n";
                return nullptr;
            }
            return argv[++i];
        };
        try {
            if (arg == "--players") {
                const char* v = value("--players");
                if (!v)
                    return usage();
                options.players = std::stoi(v);
            } else if (arg == "--seconds") {
                const char* v = value("--seconds");
                if (!v)
                    return usage();
                options.seconds = std::stof(v);
            } else if (arg == "--seed") {
                const char* v = value("--seed");
                if (!v)
                    return usage();
                options.seed = std::stoull(v);
            } else if (arg == "--mode") {
                // The match's mode, as a host chooses it on its join screen.
                const char* v = value("--mode");
                const std::string name = v ? v : "";
                const char* mode = name == "ffa" ? "0" : name == "lps" ? "1" : name == "teams" ? "2" : nullptr;
                if (!mode) {
                    std::cerr << "--mode takes ffa (free-for-all), lps (last plane standing) or teams\n";
                    return usage();
                }
                kit::settings::set(skyscuffle::matchSettings::mode.key(), mode);
            } else if (arg == "--arena") {
                // Where the match is flown, as a host chooses it on its join screen.
                const char* v = value("--arena");
                const std::int32_t arena = skyscuffle::arenaNumber(v ? v : "");
                if (arena < 0) {
                    std::cerr << "--arena takes meadow, canyon or harbour\n";
                    return usage();
                }
                kit::settings::set(skyscuffle::matchSettings::arena.key(), std::to_string(arena));
            } else if (arg == "--render") {
                options.render = true;
            } else if (arg == "--no-batching") {
                options.batching = false;
            } else if (arg == "--samples") {
                const char* v = value("--samples");
                if (!v)
                    return usage();
                options.samples = std::clamp(std::stoi(v), -1, 16);
            } else if (arg == "--set") {
                // A tuning value for the run, as the tuning file would give it.
                const char* v = value("--set");
                const std::string pair = v ? v : "";
                const auto equals = pair.find('=');
                if (equals == std::string::npos || equals == 0) {
                    std::cerr << "--set takes KEY=VALUE\n";
                    return usage();
                }
                kit::settings::set(pair.substr(0, equals), pair.substr(equals + 1));
            } else if (arg == "--record") {
                const char* v = value("--record");
                if (!v || !*v)
                    return usage();
                kit::settings::set(skyscuffle::matchSettings::replayFile.key(), v);
            } else if (arg == "--view-log") {
                const char* v = value("--view-log");
                if (!v || !*v || !viewLog::open(v, kit::localOrigin()))
                    return usage();
            } else if (arg == "--size") {
                const char* v = value("--size");
                int w = 0, h = 0;
                char end = 0;
                if (!v || std::sscanf(v, "%dx%d%c", &w, &h, &end) != 2 || w < 16 || h < 16 || w > 8192 || h > 8192) {
                    std::cerr << "--size takes WIDTHxHEIGHT, 16 to 8192 pixels each\n";
                    return usage();
                }
                options.width = w;
                options.height = h;
            } else if (arg == "--strengths") {
                const char* v = value("--strengths");
                if (!v)
                    return usage();
                std::stringstream list(v);
                for (std::string name; std::getline(list, name, ',');) {
                    const auto strength = strengthNamed(name);
                    if (!strength) {
                        std::cerr << "not a strength (easy, normal or hard): " << name << "\n";
                        return usage();
                    }
                    options.strengths.push_back(*strength);
                }
            } else if (arg == "--frames-every") {
                const char* v = value("--frames-every");
                if (!v)
                    return usage();
                options.framesEvery = std::stoi(v);
            } else if (arg == "--out") {
                const char* v = value("--out");
                if (!v)
                    return usage();
                options.out = v;
            } else if (bool bad = false; parseSessionOption(argc, argv, i, options, bad)) {
                if (bad)
                    return usage();
            } else {
                std::cerr << "unknown option " << arg << "\n";
                return usage();
            }
        } catch (const std::exception&) {
            std::cerr << "not a number after " << arg << "\n";
            return usage();
        }
    }
    if (options.players < 1 || options.players > 64 || !(options.seconds > 0.0f) || options.framesEvery < 0 ||
        (options.framesEvery > 0 && options.out.empty())) {
        std::cerr << "players 1 to 64, seconds above 0, --frames-every with --out\n";
        return usage();
    }
    if (!sessionOptionsValid(options))
        return usage();
    if (options.framesEvery > 0)
        options.render = true;
    return true;
}

Simulator::Simulator(SimulatorOptions options) : options_(std::move(options))
{
    glfw_ = std::make_unique<kit::GlfwLibrary>();
    if (!glfw_->ready())
        return;
    kit::WindowSettings settings;
    settings.width = options_.width;
    settings.height = options_.height;
    settings.visible = options_.render;
    settings.samples = std::max(options_.samples, 0);
    window_ = kit::Window::open(settings);
    if (window_ && options_.samples < 0) {
        // As the game decides: multisampling on a graphics card only.
        if (!kit::contextDrawsInSoftware()) {
            window_.reset();
            settings.samples = 4;
            window_ = kit::Window::open(settings);
        }
    }
    if (!window_)
        return;
    try {
        kit::initializeGlew();
    } catch (const kit::GlewInitError& error) {
        std::cerr << error.what();
        window_.reset();
        return;
    }
    keepGraphicsDriverLoaded();
    renderState_ = std::make_unique<kit::RenderState>();
    glViewport(0, 0, options_.width, options_.height);
    glClearColor(0.36f, 0.62f, 0.85f, 1.0f);
    app_ = std::make_unique<kit::Application>(window_.get(), renderState_.get());
}

Simulator::~Simulator()
{
    app_.reset();
    renderState_.reset();
    window_.reset();
}

void Simulator::addPlayers()
{
    kit::World& lobby = *app_->current;
    kit::NetworkSystem* network = kit::NetworkSystem::of(&lobby);
    const kit::TagId persistant = kit::tagId("persistant");
    const auto& colours = playerColours();
    for (int i = 0; i < options_.players; ++i) {
        const kit::EntityHandle player = lobby.createEntity();
        auto* label = new kit::Label("player");
        label->addTag(persistant);
        lobby.addComponent(player, label);
        auto* ai = new ArtificialIntelligence;
        if (static_cast<std::size_t>(i) < options_.strengths.size())
            ai->strength = options_.strengths[static_cast<std::size_t>(i)];
        ai->addTag(persistant);
        lobby.addComponent(player, ai);
        auto* gamepad = new VirtualGamepadAI(ai);
        gamepad->addTag(persistant);
        lobby.addComponent(player, gamepad);
        network->callFunction(fn::spawnPersistantPlayer, player, colours[static_cast<std::size_t>(i) % colours.size()],
                              i + 1);
    }
}

bool Simulator::waitForResources()
{
    // As the loading screen does before a match.
    kit::ResourceBucket bucket = kit::loadResourceBucket("buckets/gameWorld.txt");
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!bucket.isLoaded()) {
        if (std::chrono::steady_clock::now() > end) {
            std::cerr << "the match's resources did not load within 60 s\n";
            return false;
        }
        // The lobby's frames go on meanwhile (they hand over what the loader
        // finished): a copy that connects while a slow machine loads is
        // answered, as the game's loading screen answers it.
        app_->frame(0.0f, false);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void Simulator::saveFrame(long frame)
{
    const int width = options_.width, height = options_.height;
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width * height * 4));
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<unsigned char> flipped(rgba.size());
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
        std::memcpy(&flipped[static_cast<std::size_t>(height - 1 - y) * row], &rgba[static_cast<std::size_t>(y) * row],
                    row);
    char name[64];
    std::snprintf(name, sizeof name, "/frame-%06ld.png", frame);
    lodepng::encode(options_.out + name, flipped, width, height);
}

int Simulator::run()
{
    Random::seed(options_.seed);
    kit::settings::set(skyscuffle::matchSettings::matchLength.key(), std::to_string(options_.seconds));
    kit::settings::set(kit::renderSettings::batching.key(), options_.batching ? "1" : "0");
    if (!options_.out.empty())
        std::filesystem::create_directories(options_.out);

    // A lobby with the services and the players, then the matches.
    auto lobby = std::make_shared<kit::World>(&Session::setUpLobby);
    auto* network = new kit::NetworkSystem(30.0f);
    network->addTag(kit::tagId("persistant"));
    registerPlayerFunctions(*network);
    lobby->addComponent(kit::EntityHandle{lobby->systemEntity(), lobby.get()}, network);
    app_->setWorld(lobby);
    lobby.reset();
    session_ = std::make_unique<Session>(options_, *network);
    if (!session_->open()) {
        std::cerr << "the session could not be opened\n";
        return 1;
    }
    addPlayers();
    if (!waitForResources())
        return 1;

    SoakRecord soak;
    for (int match = 1; match <= options_.matches; ++match) {
        if (!session_->gather(*app_))
            return 1;
        soak.lobby(match, *app_->current);
        if (const int status = playMatch(match); status != 0)
            return status;
        soak.afterMatch(match, residentMegabytes());
        // Back to a lobby with the same players.
        app_->setWorld(std::make_shared<kit::World>(&Session::setUpLobby));
        app_->frame(0.0f, false);
    }
    session_->linger(*app_);
    return soak.verdict() ? 0 : 1;
}

int Simulator::playMatch(int number)
{
    const double rssStart = residentMegabytes();
    MatchStatistics statistics;
    auto match = std::make_shared<kit::World>(screens::matchWorld());
    kit::World* game = match.get();
    app_->setWorld(match);
    match.reset();
    app_->frame(frameTime, false); // the switch: the match world starts
    statistics.watch(*game);
    session_->beginMatch(*game);

    // A networked copy may wait for the host's start, and a client's clock
    // runs a little past the host's.
    // In last plane standing the length is a round's: the match runs its rounds.
    const MatchRules rules = chosenRules();
    const float played = rules.mode == Mode::lastPlaneStanding ? static_cast<float>(mostRounds(rules.roundsToWin)) *
                                                                     (options_.seconds + roundPause + roundSeatWait)
                                                               : options_.seconds;
    const float limit = played + 2.0f + (session_->networked() ? options_.lobbySeconds : 0.0f);
    const long lastFrame = static_cast<long>(limit / frameTime);
    std::vector<double> updateMicros;
    std::size_t peakEntities = 0, peakParticles = 0;
    const auto wallStart = std::chrono::steady_clock::now();
    long frame = 0;
    bool ended = false;
    for (; frame < lastFrame; ++frame) {
        const auto before = std::chrono::steady_clock::now();
        const double cpuBefore = threadCpuSeconds(), processBefore = processCpuSeconds();
        game->update(frameTime);
        const double updateCpu = threadCpuSeconds() - cpuBefore;
        updateMicros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - before).count());
        statistics.frame(*game, frameTime);
        peakEntities = std::max(peakEntities, game->entities.size());
        peakParticles = std::max(peakParticles, game->getEntities(kit::tagId("particleLifeSpan"))->size());
        // The rest of a frame as the application runs it: the switch at the
        // match's end, drawing when asked, the finished loads.
        app_->frame(0.0f, false);
        if (app_->current.get() != game) {
            ended = true; // the match is over and its world gone
            break;
        }
        if (options_.render) {
            const auto draws = renderState_->counters().drawCalls;
            const double submitBefore = threadCpuSeconds();
            game->render(frameTime);
            const double submitCpu = threadCpuSeconds() - submitBefore;
            glFinish();
            const bool saved = options_.framesEvery > 0 && frame % options_.framesEvery == 0;
            if (saved)
                saveFrame(frame);
            const auto beforeSwap = std::chrono::steady_clock::now();
            window_->swapBuffers();
            glFinish();
            const auto after = std::chrono::steady_clock::now();
            if (!saved) { // a PNG's encoding is no part of a frame
                using Ms = std::chrono::duration<double, std::milli>;
                frameTimes_.add(FrameSample{Ms(after - before).count(), Ms(after - beforeSwap).count(),
                                            (updateCpu + submitCpu) * 1000.0, updateCpu * 1000.0,
                                            (processCpuSeconds() - processBefore) * 1000.0,
                                            renderState_->counters().drawCalls - draws});
            }
        }
        session_->pace();
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    if (options_.matches > 1 || session_->networked())
        std::printf("match %d\n", number);
    report(statistics, frame, wall, std::move(updateMicros), peakEntities, peakParticles, rssStart,
           residentMegabytes());
    session_->endMatch(number, static_cast<float>(frame) * frameTime);
    if (!ended) {
        std::cerr << "match " << number << " did not end within " << limit << " s\n";
        return 1;
    }
    return 0;
}

void Simulator::report(const MatchStatistics& statistics, long frames, double wallSeconds,
                       std::vector<double> updateMicros, std::size_t peakEntities, std::size_t peakParticles,
                       double rssStart, double rssEnd)
{
    for (const auto& [id, p] : statistics.players) {
        const double wallShare =
            p.framesAlive > 0 ? 100.0 * static_cast<double>(p.framesNearWall) / static_cast<double>(p.framesAlive)
                              : 0.0;
        const double offScreen =
            p.framesAlive > 0 ? 100.0 * static_cast<double>(p.framesOffScreen) / static_cast<double>(p.framesAlive)
                              : 0.0;
        std::printf("player %-7s kills %3d deaths %3d score %4d pickups %3d shots %5d hits %4d wall %5.1f%% "
                    "off-screen %5.1f%%",
                    p.colour.c_str(), p.kills, p.deaths, p.score, p.pickUps, p.shots, p.hits, wallShare, offScreen);
        // Copies of a networked match draw their colours alike: the id tells whose.
        if (session_->networked())
            std::printf(" id %08x:%u", id.origin, id.serial);
        std::printf("\n");
    }
    // A plane alive and still for this long has stopped flying (or its state stopped arriving).
    constexpr float stuckSeconds = 2.0f;
    float longestStill = 0.0f;
    int stuck = 0;
    long inside = 0;
    std::optional<glm::vec2> where;
    for (const auto& [id, p] : statistics.players) {
        longestStill = std::max(longestStill, p.longestStill);
        stuck += p.longestStill > stuckSeconds;
        inside += p.framesInsideSolid;
        if (!where)
            where = p.firstInside;
    }
    std::printf("planes longest still %.2f s, stuck %d, frames inside solid parts %ld",
                static_cast<double>(longestStill), stuck, inside);
    if (where)
        std::printf(" (one at %.1f, %.1f)", static_cast<double>(where->x), static_cast<double>(where->y));
    std::printf("\n");
    statistics.printCamera(stdout);
    statistics.printLoad(stdout);
    statistics.printRounds(stdout);
    statistics.printSides(stdout);
    if (statistics.ended) {
        std::printf("score table from endGame:");
        for (const ScoreEntry& entry : statistics.finalTable)
            std::printf(" %08x:%u=%d", entry.plane.origin, entry.plane.serial, entry.points);
        std::printf("\n");
    }
    std::printf("summary frames %ld simulated %.1f s wall %.2f s peak entities %zu peak particles %zu "
                "update median %.0f us p99 %.0f us rss start %.1f MB end %.1f MB\n",
                frames, static_cast<double>(frames) * frameTime, wallSeconds, peakEntities, peakParticles,
                percentile(updateMicros, 0.5), percentile(updateMicros, 0.99), rssStart, rssEnd);
    if (!frameTimes_.empty())
        frameTimes_.print(stdout, options_.batching);
    frameTimes_ = FrameTimes{}; // each match reports its own frames
}
