// Costs of the game's own behaviours at match scale.
//   build/release/tools/benchmarks/gameplay_benchmark
#include "game/Random.h"
#include "game/effects/Particles.h"

#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"

#include <benchmark/benchmark.h>

namespace {

// A started world, as the game's worlds are, on a detached window.
struct Scene {
    kit::Window window;
    kit::Application app{&window, nullptr};
    std::shared_ptr<kit::World> world = std::make_shared<kit::World>();
    Scene() { app.setWorld(world); }
};

ParticleSpec fadingSpark(float life)
{
    ParticleSpec spec;
    spec.position = glm::vec3(Random::between(-50, 50), Random::between(-40, 40), 0.0f);
    spec.velocity = Random::direction() * 5.0f;
    spec.life = life;
    spec.startScale = 0.0f;
    spec.endScale = 3.0f;
    spec.texture = "images/fireParticle.png";
    return spec;
}

// One particle made (entity, transform, body, model on the shared material,
// labels, lifespan) and destroyed again.
void SpawnAndDestroyParticle(benchmark::State& state)
{
    Scene scene;
    Random::seed(1);
    spawnParticle(*scene.world, fadingSpark(1.0f)); // the shared material and mesh exist from here on
    for (auto _ : state) {
        const kit::EntityHandle particle = spawnParticle(*scene.world, fadingSpark(1.0f));
        scene.world->destroyEntityNow(particle);
    }
}
BENCHMARK(SpawnAndDestroyParticle)->Unit(benchmark::kMicrosecond);

// An update pass over 500 live particles: lifespans scaling and fading them,
// bodies moving them.
void UpdateFiveHundredParticles(benchmark::State& state)
{
    Scene scene;
    Random::seed(2);
    for (int i = 0; i < 500; ++i)
        spawnParticle(*scene.world, fadingSpark(1e9f));
    for (auto _ : state)
        scene.world->update(1.0f / 120.0f);
    state.counters["particles"] = 500;
}
BENCHMARK(UpdateFiveHundredParticles)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
