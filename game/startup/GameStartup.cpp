#include "GameStartup.h"

#include "game/common/ViewLog.h"
#include "game/startup/CatalogFolder.h"
#include "game/startup/DataDirectory.h"
#include "game/startup/LaunchOptions.h"

#include "game/common/Random.h"
#include "game/common/Tags.h"
#include "game/match/MatchReturn.h"
#include "game/players/PlayerFunctions.h"
#include "game/screens/JoinScreen.h"
#include "game/screens/MainMenu.h"
#include "game/screens/ReplaysScreen.h"
#include "game/sound/SoundManager.h"
#include "game/startup/ClipExport.h"
#include "game/widgets/WidgetKeys.h"

#include "engine/core/GlfwLibrary.h"
#include "engine/core/Log.h"
#include "engine/core/Settings.h"
#include "engine/core/Translation.h"
#include "engine/core/TranslationSettings.h"
#include "engine/core/UpdateSignal.h"
#include "engine/core/UserDirectories.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/core/application/ApplicationSettings.h"
#include "engine/core/application/GlewInitError.h"
#include "engine/core/application/StopSignals.h"
#include "engine/input/Keyboard.h"
#include "engine/input/Keys.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/network/NetworkSettings.h"
#include "engine/network/NetworkSystem.h"
#include "engine/render/state/RenderState.h"
#include "engine/render/state/SoftwareRenderer.h"
#include "engine/resources/ThreadPool.h"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace skyscuffle {

namespace {

const std::string tuningTable = "tuning";

// With SKYSCUFFLE_STARTUP_REPORT set, one console line once the first frame
// is on its way to the screen: when (Unix time, for a caller that started the
// clock before the process) and where the start-up time went. The start-up
// measure, tools/benchmarks/startup.sh, reads it.
class StartupReport {
public:
    using Clock = std::chrono::steady_clock;

    StartupReport() : wanted_(std::getenv("SKYSCUFFLE_STARTUP_REPORT") != nullptr) {}
    void windowOpen() { window_ = Clock::now(); }
    void menuMade() { menu_ = Clock::now(); }
    void connect(kit::Application& application)
    {
        if (!wanted_)
            return;
        connection_ = application.frameShown.connect([this] {
            const auto now = Clock::now();
            const double unix =
                std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
            char line[200];
            std::snprintf(line, sizeof line,
                          "Startup: first frame at %.6f; window and context %.3f s, main menu %.3f s, "
                          "first frame %.3f s after main",
                          unix, seconds(window_ - start_), seconds(menu_ - window_), seconds(now - start_));
            kit::log::info() << line;
            connection_.disconnect();
        });
    }

private:
    static double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

    bool wanted_;
    Clock::time_point start_ = Clock::now(), window_ = start_, menu_ = start_;
    kit::ScopedConnection connection_;
};

// The player's settings file, empty (with one line said) when the player has
// no home to keep it in.
std::filesystem::path playerSettingsFile()
{
    const std::filesystem::path config = kit::userDirectories::configHome();
    if (config.empty()) {
        kit::log::warn() << "No home directory (HOME is not set): settings chosen in the game will not be kept";
        return {};
    }
    return config / "skyscuffle" / "settings.csv";
}

// The designers' tuning file, then the player's choices, then this run's.
void loadSettings(const LaunchOptions& options, const DataDirectory& data, const std::filesystem::path& playerFile)
{
    kit::settings::setAssetDirectory(data.directory.string());
    // Installed data ships no tuning file: the code's defaults are the tuning.
    std::error_code error;
    if (data.developerTree || std::filesystem::exists(kit::settings::filePath(tuningTable), error))
        kit::settings::load(tuningTable);
    if (!playerFile.empty())
        kit::settings::loadPlayer(playerFile);
    kit::settings::setPlayerFile(playerFile); // where the Options screen keeps choices
    if (options.fullscreen)
        kit::settings::setForRun(kit::applicationSettings::fullscreen.key(), *options.fullscreen ? "1" : "0");
    if (options.width && options.height) {
        kit::settings::setForRun(kit::applicationSettings::width.key(), std::to_string(*options.width));
        kit::settings::setForRun(kit::applicationSettings::height.key(), std::to_string(*options.height));
    }
}

// The first screen: the main menu, the join screen of a session the
// command line asked to host or join, or the playback of a replay.
kit::World::SetupFunction firstScreen(const LaunchOptions& options, kit::NetworkSystem& network)
{
    const int portSetting = kit::networkSettings::port.value();
    const auto port = static_cast<std::uint16_t>(std::clamp(portSetting, 0, 65535));
    if (options.host) {
        const int connections = kit::networkSettings::maxConnections.value();
        network.host(port, static_cast<std::uint16_t>(std::clamp(connections, 1, 65535)));
        return createJoinScreen;
    }
    if (!options.joinAddress.empty()) {
        network.join(options.joinAddress, options.joinPort != 0 ? options.joinPort : port);
        return createJoinScreen;
    }
    if (!options.replayFile.empty()) {
        std::string error;
        std::optional<kit::Replay> replay = kit::readReplayFile(options.replayFile, error);
        if (!replay) {
            kit::log::error() << error;
            return createMainMenu;
        }
        auto shared = std::make_shared<const kit::Replay>(std::move(*replay));
        const std::filesystem::path file = std::filesystem::absolute(options.replayFile);
        // The menu first, so that leaving the playback finds this copy's
        // world; the playback from its first update, once it is current.
        return [shared, file](kit::World* world) {
            createMainMenu(world);
            world->addComponent(world->createEntity(),
                                new kit::UpdateSignal([shared, file](kit::Component* self, float) {
                                    kit::World* menu = self->world;
                                    delete menu->removeComponent(self);
                                    watchReplay(menu, shared, {}, file);
                                }));
        };
    }
    return createMainMenu;
}

// A run that only draws a clip of a replay, in a window never shown (the
// game starts one such run for each clip a player asks for, so that its
// own window keeps running).
int runClipExport(const LaunchOptions& options)
{
    std::string error;
    std::optional<kit::Replay> replay = kit::readReplayFile(options.replayFile, error);
    if (!replay) {
        kit::log::error() << error;
        return 1;
    }
    ClipOptions clip;
    clip.out = options.clipFile;
    clip.from = options.clipFrom;
    clip.seconds = options.clipSeconds;
    clip.width = options.clipWidth;
    clip.height = options.clipHeight;
    const bool written = writeClip(std::make_shared<const kit::Replay>(std::move(*replay)), clip);
    kit::threadPool().shutdown();
    return written ? 0 : 1;
}

// The console is the game's log: lines go out as they are written, even when
// the output is a file or a pipe. SIGINT and SIGTERM end the run cleanly from
// here on, even during start-up. Both random generators are seeded, the
// game's own to the nanosecond: copies started in the same second must not
// shuffle the player colours alike.
void prepareProcess()
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    kit::installStopSignalHandlers();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    Random::seed(static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

// The game's window as the settings ask for it, not shown yet; null when none opens.
std::unique_ptr<kit::Window> openGameWindow()
{
    kit::WindowSettings windowSettings;
    windowSettings.fullscreen = kit::applicationSettings::fullscreen.value();
    // Multisampling smooths the planes' edges; a software renderer pays for
    // it on every pixel. -1 (the default) decides by the renderer.
    const int samples = kit::applicationSettings::samples.value();
    const bool decideByRenderer = samples < 0;
    windowSettings.samples = decideByRenderer ? 0 : std::min(samples, 16);
    windowSettings.visible = !decideByRenderer; // shown once the samples are settled
    const glm::vec2 size(kit::applicationSettings::width.value(), kit::applicationSettings::height.value());
    // Truncated to whole pixels, within what any display can show.
    windowSettings.width = static_cast<int>(std::clamp(size.x, 1.0f, 16384.0f));
    windowSettings.height = static_cast<int>(std::clamp(size.y, 1.0f, 16384.0f));

    std::unique_ptr<kit::Window> window = kit::Window::open(windowSettings);
    if (window && decideByRenderer && !kit::contextDrawsInSoftware()) {
        // A graphics card: opened again with multisampling before anyone
        // sees it (a card's context comes cheap; a software one does not,
        // which is why the first try goes without).
        window.reset();
        windowSettings.samples = 4;
        window = kit::Window::open(windowSettings);
    }
    return window;
}

// The keys every screen has: Ctrl+L reloads the tuning file, F11 (or
// Alt+Enter) switches full screen at the desktop's resolution and back.
kit::ScopedConnection listenForRunKeys(kit::Application& application, kit::Window& window)
{
    kit::Window* shown = &window;
    return application.keyboard->keyPressed.connect([shown](kit::Keyboard::KeyInfo key) {
        if (key.key == kit::keys::l && key.control) {
            kit::log::info() << "Reloading tuning settings";
            kit::settings::load(tuningTable);
        } else if (widgets::togglesFullscreen(key)) {
            // The tuning value still decides how the game starts.
            shown->setFullscreen(!shown->isFullscreen());
        }
    });
}

// The process-wide services on the system entity, which moves with them from
// world to world: the network session and LAN discovery.
kit::NetworkSystem& installServices(kit::World& world)
{
    const kit::EntityHandle system{kit::systemEntity(), &world};
    const auto port1 = kit::networkSettings::discoveryPort1.value();
    const auto port2 = kit::networkSettings::discoveryPort2.value();
    auto* network = new kit::NetworkSystem(30.0f);
    network->addTag(kit::tagId(tags::persistant));
    network->mapsPort = kit::networkSettings::mapPort.value() != 0;
    registerPlayerFunctions(*network);
    world.addComponent(system, network);
    auto* discovery = new kit::LANDiscoverySystem({port1, port2}, 64, 1.0f);
    discovery->addTag(kit::tagId(tags::persistant));
    world.addComponent(system, discovery);
    return *network;
}

// Audio output for the whole run and the sound manager that plays through it
// in the world shown. Without a device the game runs silently.
std::unique_ptr<audio::AudioSystem> openAudio(kit::World& world, bool mute)
{
    auto audioSystem = std::make_unique<audio::AudioSystem>();
    if (!audioSystem->ready())
        kit::log::warn() << "Sound error: " << audioSystem->error();
    auto* sounds = new SoundManager(*audioSystem);
    sounds->addTag(kit::tagId(tags::persistant));
    world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, sounds);
    sounds->soundOn = !mute;
    SoundManager::loadSounds(&world);
    return audioSystem;
}

} // namespace

int runSkyscuffle(const LaunchOptions& options, const DataDirectory& data)
{
    prepareProcess();
    keepsMatchNotes() = true; // a crash leaves the way back to its match
    loadSettings(options, data, playerSettingsFile());
    const std::filesystem::path catalogs = findCatalogFolder(data, runningExecutable());
    kit::setCatalogFolder(catalogs);
    kit::setLanguage(kit::translationSettings::language);
    kit::log::debug() << "Language " << kit::currentLanguage() << ", catalogs in "
                      << (catalogs.empty() ? std::string("no folder") : catalogs.string());
    if (!options.clipFile.empty())
        return runClipExport(options);
    if (!options.viewLog.empty())
        viewLog::open(options.viewLog, kit::localOrigin());
    StartupReport report;

    {
        kit::GlfwLibrary glfw;
        if (!glfw.ready())
            return 1;
        // The loader thread reads and decodes the menu's pictures while the
        // window and its context are made; the menu then only hands them to OpenGL.
        prefetchMainMenu();
        std::unique_ptr<kit::Window> window = openGameWindow();
        if (!window)
            return 1;
        window->show();
        kit::initializeGlew();
        report.windowOpen();
        auto renderState = std::make_unique<kit::RenderState>();
        glClearColor(0.36f, 0.62f, 0.85f, 1.0f); // the sky, wherever nothing is drawn

        // Opened once the first frame is out (probing the device takes a
        // while, and the menu needs no sound to be seen); it outlives the
        // worlds whose SoundManager plays through it.
        std::unique_ptr<audio::AudioSystem> audioSystem;

        auto application = std::make_unique<kit::Application>(window.get(), renderState.get());
        application->verticalSync = kit::applicationSettings::verticalSync.value();
        kit::ScopedConnection runKeys = listenForRunKeys(*application, *window);

        // The first screen is chosen once the services it may use are in place.
        kit::World::SetupFunction firstSetup = createMainMenu;
        auto firstWorld = std::make_shared<kit::World>([&firstSetup](kit::World* world) { firstSetup(world); });
        firstSetup = firstScreen(options, installServices(*firstWorld));
        application->setWorld(firstWorld);
        report.menuMade();
        firstWorld.reset();
        report.connect(*application);
        kit::ScopedConnection audioOnFirstFrame;
        audioOnFirstFrame = application->frameShown.connect([&] {
            audioOnFirstFrame.disconnect(); // once; signals2 keeps the running slot alive
            audioSystem = openAudio(*application->current, options.mute);
        });

        application->run();

        // Shutdown: the tuning goes back to its file first; the loader thread
        // finishes its queue; then everything that may still hold OpenGL
        // objects goes while its context is alive.
        if (data.developerTree)
            kit::settings::save(tuningTable); // a developer's tree: the designers' file
        kit::threadPool().shutdown();
        runKeys.disconnect();
        application.reset();
        renderState.reset();
        window.reset();
    }
    return 0;
}

} // namespace skyscuffle
