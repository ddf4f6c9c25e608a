// One physics frame of a busy match: N rigid circle planes in an arena of five
// static walls, with 300 bullets whose collision signals look for planes.
//   build/release/tools/benchmarks/physics_benchmark
#include "engine/core/Label.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/physics/Body.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/CollisionSignal.h"
#include "engine/physics/Gravity.h"
#include "engine/physics/PolygonCollider.h"
#include "engine/physics/RigidBody.h"
#include "engine/physics/Transform.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

constexpr float arenaWidth = 400.0f;
constexpr float arenaHeight = 300.0f;
constexpr int bulletCount = 300;

struct Arena {
    kit::Window window;
    kit::Application app{&window, nullptr};
    std::shared_ptr<kit::World> world = std::make_shared<kit::World>();
    std::vector<kit::Transform*> planes;
    std::vector<kit::Body*> planeBodies;
    std::vector<kit::Transform*> bullets;
    std::vector<kit::Body*> bulletBodies;
    std::mt19937 random{1};
    long hits = 0;

    explicit Arena(int planeCount)
    {
        app.setWorld(world);
        const kit::TagId plane = kit::tagId("plane");
        // Floor, ceiling, two side walls and a pillar in the middle.
        wall(-10, -10, arenaWidth + 20, 10);
        wall(-10, arenaHeight, arenaWidth + 20, 10);
        wall(-10, 0, 10, arenaHeight);
        wall(arenaWidth, 0, 10, arenaHeight);
        wall(arenaWidth / 2 - 10, 0, 20, 80);
        world->emplaceComponent<kit::Gravity>(world->createEntity(), glm::vec3(0, -30, 0), kit::tagId("hasGravity"));

        for (int i = 0; i < planeCount; ++i) {
            auto e = world->createEntity();
            planes.push_back(world->emplaceComponent<kit::Transform>(e));
            world->emplaceComponent<kit::CircleCollider>(e, 6.0f);
            planeBodies.push_back(world->emplaceComponent<kit::RigidBody>(e, false, glm::vec3(0.0f),
                                                                          std::vector<kit::TagId>{}, 1.0f, 0.3f));
            world->addComponent(e, new kit::Label("plane"));
            world->addComponent(e, new kit::Label("hasGravity"));
        }
        for (int i = 0; i < bulletCount; ++i) {
            auto e = world->createEntity();
            bullets.push_back(world->emplaceComponent<kit::Transform>(e));
            bulletBodies.push_back(world->emplaceComponent<kit::Body>(e, glm::vec3(0.0f), 0.1f));
            const float r = 0.5f;
            world->emplaceComponent<kit::PolygonCollider>(e, -3 * r, -r, 4 * r, 2 * r, 1.0f, 1.0f,
                                                          static_cast<float>(i) * 0.1f);
            world->emplaceComponent<kit::CollisionSignal>(e, plane, [this](kit::Component*, kit::EntityHandle,
                                                                           glm::vec2) {
                ++hits;
                return false;
            });
        }
        scatter();
    }

    void wall(float x, float y, float w, float h)
    {
        auto e = world->createEntity();
        world->emplaceComponent<kit::Transform>(e, glm::vec3(x, y, 0));
        world->emplaceComponent<kit::PolygonCollider>(e, 0.0f, 0.0f, w, h);
        world->emplaceComponent<kit::RigidBody>(e, true, glm::vec3(0.0f), std::vector<kit::TagId>{}, 1.0f, 0.3f);
    }

    // Planes and bullets anywhere in the arena, flying in random directions.
    void scatter()
    {
        std::uniform_real_distribution<float> x(10, arenaWidth - 10), y(10, arenaHeight - 10), heading(0, 6.3f);
        for (std::size_t i = 0; i < planes.size(); ++i) {
            planes[i]->position = glm::vec3(x(random), y(random), 0);
            const float a = heading(random);
            planeBodies[i]->velocity = glm::vec3(std::cos(a), std::sin(a), 0) * 40.0f;
        }
        for (std::size_t i = 0; i < bullets.size(); ++i) {
            bullets[i]->position = glm::vec3(x(random), y(random), 0);
            const float a = heading(random);
            bulletBodies[i]->velocity = glm::vec3(std::cos(a), std::sin(a), 0) * 150.0f;
        }
    }
};

void PhysicsFrame(benchmark::State& state)
{
    Arena arena(static_cast<int>(state.range(0)));
    int frame = 0;
    for (auto _ : state) {
        arena.world->update(1.0f / 120.0f);
        if (++frame % 240 == 0) { // two seconds of flight: start over before everything piles up
            state.PauseTiming();
            arena.scatter();
            state.ResumeTiming();
        }
    }
    state.counters["hits/frame"] = benchmark::Counter(static_cast<double>(arena.hits) / frame);
}
BENCHMARK(PhysicsFrame)->Arg(16)->Arg(32)->Arg(64)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
