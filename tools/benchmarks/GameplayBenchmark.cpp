// Costs of the game's own behaviours at match scale.
//   build/release/tools/benchmarks/gameplay_benchmark
#include "game/match/MatchFunctions.h"
#include "game/players/PlayerInfo.h"
#include "game/common/Random.h"
#include "game/input/VirtualGamepad.h"
#include "game/combat/Health.h"
#include "game/combat/Score.h"
#include "game/effects/Particles.h"
#include "game/flight/PlanePhysics.h"
#include "game/flight/RollByPitch.h"
#include "game/powerups/GatlingGunPower.h"
#include "game/powerups/SpeedPower.h"
#include "game/weapons/BasicGun.h"

#include "engine/core/Label.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/RigidBody.h"
#include "engine/physics/Transform.h"

#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

using namespace skyscuffle;

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

// A computer-like pilot: circles and shoots.
class CirclingPilot : public VirtualGamepad {
public:
    explicit CirclingPilot(float phase) : phase(phase) {}
    [[nodiscard]] bool isButtonDown(int button) const override { return button == 1; }
    [[nodiscard]] glm::vec2 direction() const override { return glm::vec2(std::cos(phase), std::sin(phase)); }
    [[nodiscard]] VirtualGamepad* clone() const override { return detached(new CirclingPilot(*this)); }
    float phase;
};

// 16 planes flying and firing (four with gatling guns, four with speed),
// with 300 bullets in the air, as in a busy match.
struct Dogfight : Scene {
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);
    std::vector<kit::Component*> gameplay; // the gameplay behaviours of the scene as built

    Dogfight()
    {
        world->addComponent(kit::EntityHandle{world->systemEntity(), world.get()}, network);
        registerGameplayFunctions(*world);
        Random::seed(9);
        for (int i = 0; i < 16; ++i) {
            const kit::EntityHandle plane = world->createEntity();
            const glm::vec3 at(-80.0f + 10.0f * static_cast<float>(i), static_cast<float>(i % 4) * 20.0f - 30.0f, 0.0f);
            world->addComponent(
                plane, new kit::Transform(at, glm::vec3(1.0f), glm::angleAxis(1.5707964f, glm::vec3(0, 1, 0))));
            world->addComponent(plane, new kit::RigidBody(false, glm::vec3(30, 0, 0), {}, 1.0f, 0.5f));
            world->addComponent(plane, new PlanePhysics(kit::EntityHandle{}));
            world->addComponent(plane, new RollByPitch);
            world->addComponent(plane, new Health(10.0f));
            world->addComponent(plane, new Score);
            world->addComponent(plane, new kit::CircleCollider(2.0f));
            world->addComponent(plane, new kit::Label("plane"));
            world->addComponent(plane,
                                new PlayerInfo(PlayerTextureInfo{"Blue", "", "", glm::vec3(0.3f, 0.6f, 0.8f)}, 1));
            world->addComponent(plane, new CirclingPilot(static_cast<float>(i)));
            const kit::EntityHandle gun = world->createEntity();
            world->addComponent(gun, new kit::Transform(plane, glm::vec3(0.0f)));
            world->addComponent(gun, new BasicGun(plane, "basicShot"));
            if (i % 4 == 0)
                world->addComponent(plane, new GatlingGunPower);
            if (i % 4 == 1)
                world->addComponent(plane, new SpeedPower);
        }
        for (int i = 0; i < 300; ++i) {
            const glm::vec3 at(Random::between(-90, 90), Random::between(-50, 80), 0.0f);
            // Stray bullets of a plane of this copy that is not in the fight.
            network->callFunction(fn::spawnBullet, world->createEntity(), "models/quad.obj", "images/bullet.png",
                                  kit::EntityID{world->origin, 0x7FFFFFFF}, 1e6f, 0.25f, 1.0f, at,
                                  glm::vec2(0.01f, 0.0f));
        }
        for (const char* tag : {"planePhysics", "rollByPitch", "projectileSpawner", "power", "health",
                                "particleEmitter", "playerSpawnComp"})
            for (kit::Component* c : world->getComponentCollection(kit::tagId(tag))->toVector())
                gameplay.push_back(c);
    }
};

// One frame of the fight: everything, physics included.
void DogfightFrame(benchmark::State& state)
{
    Dogfight fight;
    for (auto _ : state)
        fight.world->update(1.0f / 60.0f);
    state.counters["entities"] = static_cast<double>(fight.world->entities.size());
}
// Ten seconds of the fight: the 300 bullets laid out at the start live through it.
BENCHMARK(DogfightFrame)->Unit(benchmark::kMicrosecond)->Iterations(600);

// The same fight with the gameplay behaviours switched off: what is left is
// the engine's share (bodies, collisions, signals). The gameplay behaviours
// cost the difference between the two.
void DogfightEngineOnly(benchmark::State& state)
{
    Dogfight fight;
    for (kit::Component* c : fight.gameplay)
        c->enabled = false;
    for (auto _ : state)
        fight.world->update(1.0f / 60.0f);
    state.counters["entities"] = static_cast<double>(fight.world->entities.size());
}
BENCHMARK(DogfightEngineOnly)->Unit(benchmark::kMicrosecond)->Iterations(600);

} // namespace

BENCHMARK_MAIN();
