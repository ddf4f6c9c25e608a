// Costs of the entity/component engine at the scale of a busy match.
//   build/release/tools/benchmarks/core_benchmark
#include "engine/core/Behavior.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int entityCount = 10000;

class Ticker : public kit::Behavior {
public:
    Ticker() { addClassTags<Ticker>("ticker"); }
    void update(float dt) override { elapsed += dt; }
    float elapsed = 0.0f;
};

class Position : public kit::Component {
public:
    Position() { addClassTags<Position>("position"); }
    float x = 0.0f, y = 0.0f;
};

class Health : public kit::Component {
public:
    Health() { addClassTags<Health>("health"); }
    float value = 10.0f;
};

// A started world, as the game's worlds are, on a detached window.
struct Scene {
    kit::Window window;
    kit::Application app{&window, nullptr};
    std::shared_ptr<kit::World> world = std::make_shared<kit::World>();
    std::vector<kit::EntityHandle> entities;

    Scene() { app.setWorld(world); }

    void populate()
    {
        for (int i = 0; i < entityCount; ++i) {
            auto e = world->createEntity();
            world->emplaceComponent<Ticker>(e);
            world->emplaceComponent<Position>(e);
            world->emplaceComponent<Health>(e);
            entities.push_back(e);
        }
    }
};

void CreateAndDestroy10kEntitiesOf3Components(benchmark::State& state)
{
    Scene scene;
    scene.world->getEntities(kit::typeId<Position>(), kit::typeId<Health>()); // a live query to keep current
    for (auto _ : state) {
        scene.populate();
        for (const auto& e : scene.entities)
            scene.world->destroyEntityNow(e);
        scene.entities.clear();
    }
    state.SetItemsProcessed(state.iterations() * entityCount);
}
BENCHMARK(CreateAndDestroy10kEntitiesOf3Components)->Unit(benchmark::kMillisecond);

void GetComponent(benchmark::State& state)
{
    Scene scene;
    scene.populate();
    std::mt19937 random(7);
    std::vector<kit::EntityID> order;
    for (int i = 0; i < 4096; ++i)
        order.push_back(scene.entities[random() % scene.entities.size()].id);
    const kit::TagId health = kit::typeId<Health>();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(scene.world->getComponent(order[i++ & 4095], health));
    }
}
BENCHMARK(GetComponent);

void IterateCachedEntityCollection10k(benchmark::State& state)
{
    Scene scene;
    scene.populate();
    for (auto _ : state) {
        auto* collection = scene.world->getEntities(kit::typeId<Position>(), kit::typeId<Health>());
        std::uint64_t sum = 0;
        for (auto it = collection->begin(); it != collection->end(); ++it)
            sum += (*it).id.serial;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * entityCount);
}
BENCHMARK(IterateCachedEntityCollection10k)->Unit(benchmark::kMicrosecond);

void UpdatePass10kBehaviours(benchmark::State& state)
{
    Scene scene;
    scene.populate();
    for (auto _ : state)
        scene.world->update(1.0f / 120.0f);
    state.SetItemsProcessed(state.iterations() * entityCount);
}
BENCHMARK(UpdatePass10kBehaviours)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
