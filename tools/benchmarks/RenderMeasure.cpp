// Frame cost of a busy scene under the current OpenGL driver (Mesa's software
// renderer on machines without a GPU): 300 additive particle quads, 20 lit
// textured models and 400 glyphs of overlay text at 800 x 600. Reports the
// median frame time and the OpenGL state changes per frame that went through
// the render state, and those it found redundant and skipped. Then counts the
// heap allocations (operator new on the main thread) of frames of 500 fading
// particles whose "alpha" changes every frame.
// Run from the repository root (it reads the game's shaders and font), under a
// display (xvfb-run on a machine without one):
//   build/release/tools/benchmarks/render_measure
#include "engine/core/GlfwLibrary.h"
#include "engine/core/Label.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/core/application/GlewInitError.h"
#include "engine/physics/Transform.h"
#include "engine/render/AspectMatcher.h"
#include "engine/render/Camera.h"
#include "engine/render/Model.h"
#include "engine/render/Renderer.h"
#include "engine/render/Text.h"
#include "engine/render/state/RenderState.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <lodepng.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <new>
#include <random>

namespace {

// Every allocation through operator new counts on the thread that makes it:
// the driver's worker threads keep their own counts.
thread_local std::uint64_t allocations = 0;

} // namespace

// AddressSanitizer brings its own operator new, which the OpenGL driver's
// shader compiler also reaches: a partial replacement would mix the two.
// Allocations are counted in builds without it.
#if defined(__SANITIZE_ADDRESS__)
#define SKYSCUFFLE_COUNTS_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SKYSCUFFLE_COUNTS_ALLOCATIONS 0
#endif
#endif
#ifndef SKYSCUFFLE_COUNTS_ALLOCATIONS
#define SKYSCUFFLE_COUNTS_ALLOCATIONS 1
#endif

#if SKYSCUFFLE_COUNTS_ALLOCATIONS
// A malloc and free pair on purpose: GCC pairs operator new with operator
// delete only, and would warn about free once both are inlined.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
#pragma GCC diagnostic pop
#endif

namespace {

using Clock = std::chrono::steady_clock;
const std::string scratch = "models/measure/";

void writeAssets()
{
    std::filesystem::create_directories("assets/" + scratch);
    std::ofstream obj("assets/" + scratch + "cube.obj");
    obj << "mtllib cube.mtl\n";
    for (int i = 0; i < 8; ++i)
        obj << "v " << ((i & 1) ? 0.5 : -0.5) << " " << ((i & 2) ? 0.5 : -0.5) << " " << ((i & 4) ? 0.5 : -0.5) << "\n";
    obj << "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 1 0 0\nvn -1 0 0\nvn 0 1 0\nvn 0 -1 0\nvn 0 0 1\nvn 0 0 -1\nusemtl m\n";
    const int faces[6][4] = {{2, 4, 8, 6}, {1, 5, 7, 3}, {3, 7, 8, 4}, {1, 2, 6, 5}, {5, 6, 8, 7}, {1, 3, 4, 2}};
    for (int f = 0; f < 6; ++f) {
        const int* q = faces[f];
        obj << "f " << q[0] << "/1/" << f + 1 << " " << q[1] << "/2/" << f + 1 << " " << q[2] << "/3/" << f + 1 << "\n";
        obj << "f " << q[0] << "/1/" << f + 1 << " " << q[2] << "/3/" << f + 1 << " " << q[3] << "/4/" << f + 1 << "\n";
    }
    std::ofstream("assets/" + scratch + "cube.mtl") << "newmtl m\nKa 0.2 0.2 0.2\nKd 1 1 1\nNs 16\nmap_Kd skin.png\n";
    std::vector<unsigned char> pixels;
    for (int i = 0; i < 64 * 64; ++i)
        pixels.insert(pixels.end(), {static_cast<unsigned char>(i), 150, 90, 255});
    lodepng::encode("assets/" + scratch + "skin.png", pixels, 64, 64);
    lodepng::encode("assets/" + scratch + "spark.png", std::vector<unsigned char>(16 * 16 * 4, 255), 16, 16);
}

kit::EntityHandle place(kit::World& world, glm::vec3 at, const char* space)
{
    const kit::EntityHandle e = world.createEntity();
    world.emplaceComponent<kit::Transform>(e, at);
    world.addComponent(e, new kit::Label(space));
    return e;
}

struct ParticleFrames {
    double allocationsPerSpawn = 0.0; // making one particle's components
    double allocationsPerFrame = 0.0;
    double medianMs = 0.0;
    double medianPassMs = 0.0; // the render pass alone, before the driver finishes drawing
};

// Frames of 500 additive particles on one program and texture, each fading
// as its life runs out: its "alpha" changes every frame. The particles are
// made before the frames counted, as they would be over a few earlier frames.
// Each has a material of its own, or all share one and keep their colour and
// alpha as values of their own.
ParticleFrames measureParticles(kit::Window& window, kit::RenderState& state, bool shareMaterial)
{
    auto app = std::make_unique<kit::Application>(&window, &state);
    auto world = std::make_shared<kit::World>();
    app->setWorld(world);
    world->emplaceComponent<kit::Renderer>(world->createEntity(), std::vector<kit::TagId>{kit::tagId("gameSpace")},
                                           kit::UniformSet{}, false, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, 0.0f);
    const auto camera = place(*world, glm::vec3(0, 0, 60), "gameSpace");
    world->emplaceComponent<kit::Camera>(camera, kit::sceneProjection());

    const int count = 500;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> spread(-30.0f, 30.0f), unit(0.0f, 1.0f);
    std::vector<kit::Model*> particles;
    particles.reserve(count);
    auto look = [] {
        auto material = std::make_shared<kit::Material>();
        material->setShaderProgram(kit::shaderProgramManager().prefetch("shaders/colorizedFlatShader.txt"));
        material->setTexture("diffuseTex", kit::textureManager().prefetch(scratch + "spark.png"));
        return material;
    };
    const auto shared = look();
    const std::uint64_t beforeSpawns = allocations;
    for (int i = 0; i < count; ++i) {
        const auto e = place(*world, glm::vec3(spread(random), spread(random) * 0.6f, 5.0f), "gameSpace");
        world->addComponent(e, new kit::Label("additiveBlending"));
        auto* particle = world->emplaceComponent<kit::Model>(e, kit::objManager().prefetch("models/quad.obj"), true);
        const glm::vec3 colour(1.0f, unit(random), 0.2f);
        if (shareMaterial) {
            particle->material = shared;
            particle->setUniform("color", colour);
            particle->setUniform("alpha", 1.0f);
        } else {
            particle->material = look();
            particle->material->setUniform("color", colour);
            particle->material->setUniform("alpha", 1.0f);
        }
        particles.push_back(particle);
    }
    const double perSpawn = double(allocations - beforeSpawns) / count;

    const int frames = 60, warmUp = 5;
    std::uint64_t counted = 0;
    std::vector<double> times, passes;
    for (int frame = 0; frame < frames + warmUp; ++frame) {
        const std::uint64_t before = allocations;
        const auto start = Clock::now();
        const float alpha = 1.0f - static_cast<float>(frame) / static_cast<float>(frames + warmUp);
        for (kit::Model* particle : particles) {
            if (shareMaterial)
                particle->setUniform("alpha", alpha);
            else
                particle->material->setUniform("alpha", alpha);
        }
        world->update(1.0f / 120.0f);
        const auto pass = Clock::now();
        world->render(1.0f / 120.0f);
        const auto passed = Clock::now();
        glFinish();
        window.swapBuffers();
        if (frame >= warmUp) {
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            passes.push_back(std::chrono::duration<double, std::milli>(passed - pass).count());
            counted += allocations - before;
        }
    }
    std::sort(times.begin(), times.end());
    std::sort(passes.begin(), passes.end());
    world.reset();
    app.reset();
    return {perSpawn, double(counted) / frames, times[times.size() / 2], passes[passes.size() / 2]};
}

// Two materials on one program, one setting two values and one none, used
// in turn as the draws of a frame would: allocations per use.
double alternatingMaterialAllocations(kit::RenderState& state)
{
    auto program = kit::shaderProgramManager().getHandle("shaders/colorizedFlatShader.txt");
    kit::Material tinted, plain;
    tinted.setShaderProgram(program);
    tinted.setUniform("color", glm::vec3(1.0f, 0.5f, 0.2f));
    tinted.setUniform("alpha", 0.5f);
    plain.setShaderProgram(program);
    const kit::UniformSet globals;
    for (int i = 0; i < 4; ++i) { // warm up
        tinted.use(state, globals);
        plain.use(state, globals);
    }
    const int uses = 1000;
    const std::uint64_t before = allocations;
    for (int i = 0; i < uses / 2; ++i) {
        tinted.use(state, globals);
        plain.use(state, globals);
    }
    return double(allocations - before) / uses;
}

} // namespace

int main()
{
    if (!std::filesystem::exists("assets/shaders/flatShader.txt")) {
        std::cerr << "Run from the repository root: assets/shaders not found\n";
        return 1;
    }
    writeAssets();
    kit::GlfwLibrary glfw;
    if (!glfw.ready())
        return 1;
    kit::WindowSettings settings;
    settings.visible = false;
    auto window = kit::Window::open(settings);
    if (!window)
        return 1;
    kit::initializeGlew();
    auto state = std::make_unique<kit::RenderState>();
    auto app = std::make_unique<kit::Application>(window.get(), state.get());
    auto world = std::make_shared<kit::World>();
    app->setWorld(world);
    std::streambuf* log = std::cout.rdbuf(nullptr);

    kit::UniformSet lights;
    for (int i = 0; i < 4; ++i) {
        lights.set("lights[" + std::to_string(i) + "].direction", glm::vec3(-0.3f + 0.2f * i, -0.7f, -0.6f));
        lights.set("lights[" + std::to_string(i) + "].color", glm::vec3(0.3f));
    }
    world->emplaceComponent<kit::Renderer>(world->createEntity(), std::vector<kit::TagId>{kit::tagId("gameSpace")},
                                           lights, false, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, 0.0f);
    world->emplaceComponent<kit::Renderer>(world->createEntity(), std::vector<kit::TagId>{kit::tagId("hudSpace")},
                                           kit::UniformSet{}, false, GL_DEPTH_BUFFER_BIT, 1.0f);
    const auto camera = place(*world, glm::vec3(0, 0, 60), "gameSpace");
    world->emplaceComponent<kit::Camera>(camera, kit::sceneProjection());
    world->emplaceComponent<kit::AspectMatcher>(camera);
    const auto overlay = place(*world, glm::vec3(0.0f), "hudSpace");
    world->emplaceComponent<kit::Camera>(overlay, kit::overlayProjection());
    world->emplaceComponent<kit::AspectMatcher>(overlay);

    kit::objManager().get(scratch + "cube.obj");
    kit::objManager().get("models/quad.obj");
    kit::shaderProgramManager().get("shaders/colorizedFlatShader.txt");
    kit::textureManager().get(scratch + "spark.png");
    kit::textureManager().get("fonts/UbuntuMono.png");
    kit::shaderProgramManager().get("shaders/colorizedTextShader.txt");

    std::mt19937 random(3);
    std::uniform_real_distribution<float> spread(-30.0f, 30.0f), unit(0.0f, 1.0f);
    for (int i = 0; i < 20; ++i) {
        const auto e =
            place(*world, glm::vec3(spread(random), spread(random) * 0.6f, spread(random) * 0.3f), "gameSpace");
        world->emplaceComponent<kit::Model>(e, kit::objManager().prefetch(scratch + "cube.obj"));
        world->getComponent<kit::Transform>(e.id)->scale = glm::vec3(4.0f);
        world->getComponent<kit::Transform>(e.id)->rotation =
            glm::angleAxis(unit(random) * 6.0f, glm::vec3(0.3f, 1, 0.2f));
    }
    for (int i = 0; i < 300; ++i) {
        const auto e = place(*world, glm::vec3(spread(random), spread(random) * 0.6f, 5.0f), "gameSpace");
        world->addComponent(e, new kit::Label("additiveBlending"));
        auto* particle = world->emplaceComponent<kit::Model>(e, kit::objManager().prefetch("models/quad.obj"), true);
        particle->setRenderPriority(static_cast<float>(i % 7));
        particle->material = std::make_shared<kit::Material>();
        particle->material->setShaderProgram(kit::shaderProgramManager().prefetch("shaders/colorizedFlatShader.txt"));
        particle->material->setTexture("diffuseTex", kit::textureManager().prefetch(scratch + "spark.png"));
        particle->material->setUniform("color", glm::vec3(1.0f, unit(random), 0.2f));
        particle->material->setUniform("alpha", 0.3f + 0.5f * unit(random));
        world->getComponent<kit::Transform>(e.id)->scale = glm::vec3(1.0f + 2.0f * unit(random));
    }
    for (int line = 0; line < 10; ++line) {
        const auto e = place(*world, glm::vec3(0.0f), "hudSpace");
        world->emplaceComponent<kit::Text>(e, kit::textureManager().prefetch("fonts/UbuntuMono.png"),
                                           "Score 0042  Player " + std::to_string(line) + " - ready to fly! ",
                                           glm::vec3(1.0f), glm::vec3(-1.2f, 0.8f - 0.17f * line, 0.0f),
                                           kit::ResourceHandle<kit::ShaderProgram>{}, 0.08f);
    }
    std::cout.rdbuf(log);

    std::vector<double> times;
    kit::RenderState::Counters totals;
    const int frames = 120;
    for (int frame = 0; frame < frames + 10; ++frame) {
        state->resetCounters();
        const auto start = Clock::now();
        world->update(1.0f / 120.0f);
        world->render(1.0f / 120.0f);
        glFinish(); // the software renderer's work counts too
        window->swapBuffers();
        if (frame >= 10) { // warmed up
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            totals.stateChanges += state->counters().stateChanges;
            totals.skipped += state->counters().skipped;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("frame (300 particles, 20 lit models, 400 glyphs, 800x600): median %.2f ms, 95th percentile %.2f ms\n",
                times[times.size() / 2], times[times.size() * 95 / 100]);
    std::printf("state changes per frame through the render state: %.0f made, %.0f redundant ones skipped\n",
                double(totals.stateChanges) / frames, double(totals.skipped) / frames);
    world.reset();
    app.reset();

    if (!SKYSCUFFLE_COUNTS_ALLOCATIONS)
        std::printf("(allocations are not counted under AddressSanitizer: the counts below read 0)\n");
    for (const bool share : {false, true}) {
        const ParticleFrames run = measureParticles(*window, *state, share);
        std::printf("500 fading particles, %s: %.1f allocations per frame (%.3f per particle), "
                    "%.1f allocations per particle made, median frame %.2f ms (render pass %.2f ms)\n",
                    share ? "one shared material and values of their own" : "a material each", run.allocationsPerFrame,
                    run.allocationsPerFrame / 500.0, run.allocationsPerSpawn, run.medianMs, run.medianPassMs);
    }
    std::printf("materials setting 2 and 0 values used in turn on one program: %.2f allocations per use\n",
                alternatingMaterialAllocations(*state));
    std::filesystem::remove_all("assets/" + scratch);
    kit::threadPool().shutdown();
}
