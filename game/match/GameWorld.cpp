#include "GameWorld.h"

#include "MatchSettings.h"

#include "game/camera/CameraSettings.h"
#include "game/lobby/DepartedCopies.h"
#include "game/match/DropIn.h"
#include "game/match/HostDuties.h"
#include "game/match/MatchReturn.h"
#include "game/match/MatchSoFar.h"
#include "game/match/MatchStart.h"
#include "game/match/PlaneMarks.h"
#include "game/match/PlayerPlane.h"
#include "game/match/RoundKeeper.h"
#include "game/match/WatchView.h"

#include "game/camera/SideviewCameraBehavior.h"
#include "game/common/ArenaLayout.h"
#include "game/common/CallRefusals.h"
#include "game/common/Tags.h"
#include "game/common/ViewLog.h"
#include "game/effects/ParticleBudget.h"
#include "game/looks/GameLights.h"
#include "game/looks/ModelLook.h"
#include "game/match/MatchFunctions.h"
#include "game/match/MatchReplay.h"
#include "game/match/ViewSampler.h"
#include "game/replays/MatchRecording.h"
#include "game/sound/SoundManager.h"
#include "game/weapons/ProjectileBudget.h"

#include "engine/core/Label.h"
#include "engine/core/Log.h"
#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keyboard.h"
#include "engine/input/Keys.h"
#include "engine/input/PadButtons.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Body.h"
#include "engine/physics/Gravity.h"
#include "engine/physics/PolygonCollider.h"
#include "engine/physics/RigidBody.h"
#include "engine/physics/SpringAttachment.h"
#include "engine/physics/Transform.h"
#include "engine/render/AspectMatcher.h"
#include "engine/render/Camera.h"
#include "engine/render/Model.h"
#include "engine/render/Renderer.h"
#include "engine/resources/ResourceManagers.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace skyscuffle {

namespace {

void pauseMusic(kit::World* world)
{
    if (SoundManager* sounds = SoundManager::of(world))
        sounds->setBackgroundPaused(true);
}

// Leaving a match early: back to the main menu, the music paused.
void leaveMatch(kit::World* world, const MatchExits& exits)
{
    forgetMatchNote(); // left on purpose
    pauseMusic(world);
    if (world->owner)
        world->owner->setWorld(std::make_shared<kit::World>(exits.menu));
}

// The stage's picture and its solid parts, each a static body with a
// rectangle scaled from the stage's units; the layout stays on the stage for
// whoever needs the arena's shape, and the camera keeps to its open space.
// A stage of another arena goes first: a copy may hear its host's arena
// only with the rules, after its match world is made.
void buildStage(kit::World& world, const ArenaLayout& layout)
{
    if (ArenaPlan* built = world.single<ArenaPlan>()) {
        if (&built->layout == &layout)
            return;
        for (const kit::EntityID solid : built->solids)
            world.destroyEntity(kit::EntityHandle{solid, &world});
        world.destroyEntity(built->getEntity());
        // The plan at once: until the frame ends, the world already has the new arena.
        delete world.removeComponent(built);
    }
    // The camera and the point it heads for start over the spawn circle.
    for (kit::Component* c : world.getComponentCollection(kit::typeId<SideviewCameraBehavior>())->toVector()) {
        static_cast<SideviewCameraBehavior*>(c)->within = SideviewCameraBehavior::Area{layout.openLow, layout.openHigh};
        if (auto* place = world.getComponent<kit::Transform>(c->entityId))
            place->position = openingView(layout);
    }
    for (kit::Component* c : world.getComponentCollection(kit::typeId<kit::SpringAttachment>())->toVector()) {
        if (auto* place = world.getComponent<kit::Transform>(c->entityId);
            place && world.getComponent<kit::Camera>(c->entityId))
            place->position = openingView(layout);
    }
    kit::log::info() << "Arena: " << layout.name;

    const kit::EntityHandle stage = world.createEntity();
    world.addComponent(stage, new kit::Label(tags::gameSpace));
    world.addComponent(stage, new kit::Transform(glm::vec3(4.5f, -52.5f, -66.0f), glm::vec3(1.5f)));
    world.addComponent(stage, new kit::Model(kit::objManager().prefetch(layout.model)));
    world.addComponent(stage, new ModelLook(LookSpec{"shaders/flatOpaqueShader.txt", "", "", {}}));
    auto* plan = new ArenaPlan(layout);
    world.addComponent(stage, plan);

    for (const ArenaBox& w : layout.solids) {
        const kit::EntityHandle wall = world.createEntity();
        plan->solids.push_back(wall.id);
        world.addComponent(wall, new kit::Transform(glm::vec3(0.0f)));
        world.addComponent(wall, new kit::RigidBody(true, glm::vec3(0.0f), {}, 1.0f, 1.0f));
        world.addComponent(wall,
                           new kit::PolygonCollider(w.x, w.y, w.width, w.height, layout.scale, layout.scale, 0.0f));
    }
}

// The arena a match world is made with: a joined copy's host's, as its join
// screen last heard them, or this copy's own choice (a replay's, as recorded).
std::int32_t firstArena(kit::World& world, const MatchState& state)
{
    const kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    const bool joined = network && !network->isServer() && !state.view.replayOf && !state.view.watching;
    if (joined && hostsRules())
        return hostsRules()->arena;
    return playedRules(state).arena;
}

void buildCameras(kit::World& world)
{
    // The point the camera looks for: everything in focus fits the view from it.
    const kit::EntityHandle target = world.createEntity();
    world.addComponent(target, new kit::Transform(glm::vec3(0.0f, 0.0f, 100.0f)));
    world.addComponent(target, new kit::AspectMatcher);
    world.addComponent(target, new SideviewCameraBehavior("cameraFocus"));
    // The camera itself hangs on a spring toward that point, so it glides.
    const kit::EntityHandle camera = world.createEntity();
    world.addComponent(camera, new kit::Label(tags::gameSpace));
    world.addComponent(camera, new kit::AspectMatcher);
    world.addComponent(camera, new kit::Transform(glm::vec3(0.0f, 0.0f, 100.0f)));
    world.addComponent(camera, new kit::SpringAttachment(target, cameraSettings::stiffness, cameraSettings::damping));
    world.addComponent(camera, new kit::Body);
    world.addComponent(camera, new kit::Camera(glm::perspective(1.2217305f, 1.0f, 0.1f, 1000.0f)));

    const kit::EntityHandle hud = world.createEntity();
    world.addComponent(hud, new kit::Label(tags::hudSpace));
    world.addComponent(hud, new kit::AspectMatcher);
    world.addComponent(hud, new kit::Camera(glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, -10.0f, 10.0f)));
    world.addComponent(hud, new kit::Transform());
}

void registerMatchFunctions(kit::World& world, const std::shared_ptr<MatchState>& state, const MatchExits& exits)
{
    registerGameplayFunctions(world);
    kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    if (!network)
        return;
    network->registerFunction(world, fn::spawnPlayer,
                              [state](kit::EntityHandle player, glm::vec3 position, glm::quat rotation) {
                                  kit::NetworkSystem* n = kit::NetworkSystem::of(player.world);
                                  if (n && !mayLaunch(*n, *state, n->runningCall().caller, player.id)) {
                                      refuseCall(fn::spawnPlayer.name, "a plane of a copy that watches, with no seat");
                                      n->refuseRunningCall();
                                      return;
                                  }
                                  spawnPlayer(player, position, rotation);
                              });
    network->registerFunction(
        world, fn::dropIn,
        [state](kit::EntityHandle host, kit::EntityID player, glm::vec3 position, glm::quat rotation) {
            if (host.world)
                takeSeatInMatch(*host.world, *state, player, position, rotation);
        });
    network->registerFunction(world, fn::matchRules, [state](kit::EntityHandle host, const MatchRules& said) {
        const std::optional<MatchRules> rules = rulesOfCall(host.world, said);
        if (!rules || state->started || !host.world)
            return; // the rules of a match are those it started with
        state->rules = rules;
        kit::log::info() << "The match: " << describe(*rules);
        buildStage(*host.world, arenaLayout(rules->arena));
    });
    network->registerFunction(world, fn::startGameplay,
                              [state](kit::EntityHandle entity) { startGameplay(entity, state); });
    network->registerFunction(world, fn::endGame, [state, exits](kit::EntityHandle entity, const ScoreTable& table) {
        if (state->ended || !entity.world)
            return; // every copy's clock sends one: the first ends the match here
        state->ended = true;
        forgetMatchNote(); // nothing to come back to
        MatchResult result{knownPlanes(table, *entity.world), state->view.watching && !state->droppedIn, 0,
                           playedRules(*state).mode == Mode::lastPlaneStanding,
                           playedRules(*state).mode == Mode::teams};
        if (const kit::NetworkSystem* n = kit::NetworkSystem::of(entity.world)) {
            for (const auto& [origin, peer] : n->peers())
                result.watchedElsewhere += watchesMatch(peer.screenName);
        }
        keepMatchReplay(*entity.world, result.table, state->rules);
        pauseMusic(entity.world);
        if (entity.world->owner)
            entity.world->owner->setWorld(std::make_shared<kit::World>(exits.results(result)));
    });
    network->registerFunction(world, fn::matchSoFar, [state](kit::EntityHandle entity, const MatchSoFar& soFar) {
        if (entity.world)
            startWatching(*entity.world, state, soFar);
    });
    network->registerFunction(world, fn::turnWatcherAway, [state, exits](kit::EntityHandle host, std::uint32_t copy) {
        kit::World* w = host.world;
        if (!w || w->origin != copy || !state->view.watching || state->started || state->turnedAway)
            return;
        state->turnedAway = true;
        kit::log::info() << "This match has all the watchers it takes: back to the menu";
        leaveMatch(w, exits);
    });
}

void listenForLeaving(kit::World& world, const MatchExits& exits)
{
    kit::World* w = &world;
    if (world.keyboard)
        world.connections.emplace_back(world.keyboard->keyPressed.connect([w, exits](kit::Keyboard::KeyInfo key) {
            if (key.key == kit::keys::escape)
                leaveMatch(w, exits);
        }));
    if (world.joysticks)
        world.connections.emplace_back(
            world.joysticks->buttonPressed.connect([w, exits](kit::Joystick::ButtonInfo press) {
                // Back and Start together.
                if ((press.button == kit::pad::back || press.button == kit::pad::start) && press.joystick &&
                    press.joystick->buttons[kit::pad::back] && press.joystick->buttons[kit::pad::start])
                    leaveMatch(w, exits);
            }));
}

// A copy that came to watch and hears nothing of the match (its host went,
// or the match ended just then) goes back to the menu after a while.
void giveUpWithoutWord(kit::World& world, const std::shared_ptr<MatchState>& state, const MatchExits& exits)
{
    constexpr float patience = 10.0f; // seconds: a connection and a second of the host's
    world.addComponent(world.createEntity(),
                       new kit::UpdateSignal([state, exits, waited = 0.0f](kit::Component* self, float dt) mutable {
                           if (state->started) {
                               self->world->destroyEntity(self->getEntity());
                               return;
                           }
                           waited += dt;
                           if (waited < patience)
                               return;
                           kit::log::info() << "No word of the match came: back to the menu";
                           self->world->destroyEntity(self->getEntity());
                           leaveMatch(self->world, exits);
                       }));
}

} // namespace

void createGameWorld(kit::World* world, const MatchExits& exits, const MatchView& view)
{
    if (SoundManager* sounds = SoundManager::of(world))
        sounds->setBackgroundPaused(false);
    kit::log::info() << "Creating Game World";
    if (auto* discovery = world->single<kit::LANDiscoverySystem>()) {
        discovery->hosting = false; // a match in progress is not offered for joining
        discovery->announceNow = true;
    }
    kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (network)
        network->screenName = view.watching ? arrivingScreen : "game";
    auto state = std::make_shared<MatchState>();
    state->view = view;
    // Every match is recorded from its first frame, alone or on a LAN,
    // unless no replay is to be kept.
    if (!view.replayOf && replaysWanted())
        world->addComponent(world->createEntity(), new MatchRecording);
    registerMatchFunctions(*world, state, exits);
    // A copy that vanishes takes its planes with it (what it had is kept,
    // should it come back); the match goes on.
    registerReturnFunctions(*world, state);
    registerRoundFunctions(*world, state);
    removeDepartedCopies(*world);

    buildCameras(*world);
    showPlaneMarks(*world);
    buildStage(*world, arenaLayout(firstArena(*world, *state)));
    if (viewLog::active() && !view.replayOf)
        world->addComponent(world->createEntity(), new ViewSampler);
    // What peers' bullets and bombs, and the match's effects, may cost this copy.
    world->addComponent(world->createEntity(), new ProjectileBudget);
    world->addComponent(world->createEntity(), new ParticleBudget);
    auto* scene = new kit::Renderer({kit::tagId(tags::gameSpace)}, gameLights(), false,
                                    GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, 0.0f);
    scene->scalesWithResolution = true; // the HUD over it keeps the screen's resolution
    world->addComponent(world->createEntity(), scene);
    world->addComponent(world->createEntity(),
                        new kit::Renderer({kit::tagId(tags::hudSpace)}, kit::UniformSet{}, false, 0, 1.0f));
    world->addComponent(world->createEntity(), new kit::Gravity(glm::vec3(0.0f, matchSettings::gravity.value(), 0.0f),
                                                                kit::tagId(tags::hasGravity)));

    // Every copy: the one that hosts now does the host's part.
    takeHostDuties(*world, state);
    listenForLeaving(*world, exits);
    if (view.watching) {
        WatchView::addTo(*world, state);
        giveUpWithoutWord(*world, state, exits);
    }
}

} // namespace skyscuffle
