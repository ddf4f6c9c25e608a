// Contact sheets of the game's art, drawn with the engine's renderer, the
// game's shader programs and lights: every model, every sprite and image,
// the stage from the game camera with planes of all six colours, the HUD
// and the menus. Run from the repository root under a display:
//   make gallery    (writes build/gallery/*.png)
// or: art_gallery DIRECTORY [KEY=VALUE...], the pairs tuning values for the
// run (say tuning.renderer.trilinear=1 to filter textures as a graphics card
// does under the software renderer).
#include "SceneKit.h"
#include "Sheets.h"

#include "engine/core/GlfwLibrary.h"
#include "engine/core/Log.h"
#include "engine/core/Settings.h"
#include "engine/core/Window.h"
#include "engine/core/application/Application.h"
#include "engine/core/application/GlewInitError.h"
#include "engine/render/state/RenderState.h"
#include "engine/resources/ThreadPool.h"

#include <filesystem>

int main(int argc, char** argv)
{
    if (!std::filesystem::exists("assets/shaders/flatShader.txt")) {
        kit::log::error() << "Run from the repository root: assets/shaders not found";
        return 1;
    }
    const std::string directory = argc > 1 ? argv[1] : "build/gallery";
    std::filesystem::create_directories(directory);
    for (int i = 2; i < argc; ++i) {
        const std::string pair = argv[i];
        const auto equals = pair.find('=');
        if (equals == std::string::npos || equals == 0) {
            kit::log::error() << "not a KEY=VALUE pair: " << pair;
            return 1;
        }
        kit::settings::set(pair.substr(0, equals), pair.substr(equals + 1));
    }

    kit::GlfwLibrary glfw;
    if (!glfw.ready())
        return 1;
    kit::WindowSettings settings;
    settings.width = 1280;
    settings.height = 960;
    settings.visible = false;
    auto window = kit::Window::open(settings);
    if (!window)
        return 1;
    kit::initializeGlew();
    auto state = std::make_unique<kit::RenderState>();
    // Renderers reach the render state through the application.
    auto app = std::make_unique<kit::Application>(window.get(), state.get());

    gallery::useApplication(app.get());
    gallery::writeHelperTextures(directory);

    kit::log::setVerbosity(kit::log::Verbosity::quiet); // the managers' "Prefetching" lines
    gallery::modelSheet(directory);
    gallery::planeSheet(directory);
    gallery::spriteSheet(directory);
    gallery::stageViews(directory);
    gallery::screenMockups(directory);
    kit::log::setVerbosity(kit::log::Verbosity::normal);
    kit::log::info() << "Contact sheets written to " << directory << "/";
    app.reset();
    kit::threadPool().shutdown();
    return 0;
}
