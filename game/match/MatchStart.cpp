#include "MatchStart.h"

#include "MatchReturn.h"
#include "MatchSettings.h"
#include "MatchSoFar.h"

#include "game/match/HudLayout.h"
#include "game/match/LinkStrip.h"
#include "game/match/SpawnCircle.h"
#include "game/match/TeamMarks.h"
#include "game/match/Timer.h"

#include "game/combat/HealthBar.h"
#include "game/combat/ScoreCounter.h"
#include "game/common/Tags.h"
#include "game/looks/OutlinedText.h"
#include "game/looks/TextScale.h"
#include "game/match/MatchFunctions.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/Label.h"
#include "engine/core/Log.h"
#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Transform.h"
#include "engine/render/AspectTranslation.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"

#include <numbers>

namespace skyscuffle {

namespace {

constexpr char gaugeLabel[] = "gauge";

// An overlay entity pinned to the window's sides by its aspect translation.
kit::EntityHandle overlay(kit::World& world, glm::vec3 at)
{
    const kit::EntityHandle e = world.createEntity();
    world.addComponent(e, new kit::Label(tags::hudSpace));
    world.addComponent(e, new kit::Transform(at));
    world.addComponent(e, new kit::AspectTranslation(at));
    return e;
}

// The material of every health ring: one, so that the rings, which share
// their rectangle too, are drawn in one instanced draw.
std::shared_ptr<kit::Material> ringMaterial()
{
    auto material = std::make_shared<kit::Material>();
    material->setShaderProgram(kit::shaderProgramManager().prefetch("shaders/radialBarShader.txt"));
    material->instancedProgram = kit::shaderProgramManager().prefetch("shaders/radialBarInstancedShader.txt");
    material->setTexture("diffuseTex", kit::textureManager().prefetch("sprites/HUD/health.png"));
    material->setUniform("minAngle", std::numbers::pi_v<float> * 0.5f);
    material->setUniform("maxAngle", 4.2760568f); // 245 degrees
    material->setUniform("value", 1.0f);
    return material;
}

// The layers of the gauges, under the rest of the HUD: every gauge's icon,
// then every ring, every frame, every score. With eight players neighbouring
// gauges overlap a little, and a gauge drawn whole over its left neighbour
// hid that one's score; layer by layer, every score stays in sight, and the
// sprites of a layer, which share their rectangle and material (see
// Sprite::sharing), go in one instanced draw.
enum GaugeLayer { iconLayer, ringLayer, frameLayer, scoreLayer };
float gaugePriority(GaugeLayer layer)
{
    return -1.0f + 0.1f * static_cast<float>(layer);
}

// A gauge's picture, and its ring's radius (its picture is 240 x 320 pixels,
// the ring 230 across).
constexpr float gaugeWidth = 0.4f, gaugeHeight = 0.533f, ringRadius = 0.19f;
constexpr float gaugeY = -0.76f;
// A score beside its gauge: its line's bottom under the gauge's middle, and
// its origin right of it.
constexpr float besideScoreY = -0.17f, besideScoreX = 0.013f;

// One player's gauge at the foot of the screen: icon, health ring, frame and score.
void gauge(kit::World& world, kit::EntityHandle plane, const PlayerInfo& info, float place, const ScoreLayout& layout,
           const std::shared_ptr<kit::Material>& ring)
{
    const glm::vec3 at(place, gaugeY, 0.0f);
    const float width = gaugeWidth, height = gaugeHeight;

    // Each of its parts is labelled, so that the HUD can be laid out again.
    auto part = [&world](glm::vec3 where) {
        const kit::EntityHandle e = overlay(world, where);
        world.addComponent(e, new kit::Label(gaugeLabel));
        return e;
    };
    world.addComponent(part(at), kit::Sprite::sharing(kit::textureManager().prefetch(info.hudIcon), width, height,
                                                      gaugePriority(iconLayer)));

    const kit::EntityHandle bar = part(at + glm::vec3(0.0f, 0.0f, 0.01f));
    kit::Sprite* ringSprite = kit::Sprite::sharing(kit::textureManager().prefetch("sprites/HUD/health.png"), width,
                                                   height, gaugePriority(ringLayer));
    ringSprite->material = ring;
    world.addComponent(bar, ringSprite);
    world.addComponent(bar, new HealthBar(plane));

    world.addComponent(part(at + glm::vec3(0.0f, 0.0f, 0.02f)),
                       kit::Sprite::sharing(kit::textureManager().prefetch("sprites/HUD/frame.png"), width, height,
                                            gaugePriority(frameLayer)));

    // Beside the gauge, right-aligned in four characters; or over it, centred.
    const float scoreY = layout.beside ? besideScoreY : ringRadius + 0.005f;
    const kit::EntityHandle score = part(at + glm::vec3(0.0f, scoreY, 0.03f));
    addOutlinedText(world, score, "00", glm::vec2(layout.beside ? besideScoreX : 0.0f, 0.0f), layout.size,
                    glm::vec3(1.0f), gaugePriority(scoreLayer));
    auto* counter = new ScoreCounter(plane);
    counter->centred = !layout.beside;
    counter->room = layout.room;
    world.addComponent(score, counter);

    // In a team match, the side's badge at the gauge's top left.
    const std::optional<Side> side = world.single<TeamPlay>() ? sideOf(world, plane.id) : std::nullopt;
    if (side)
        world.addComponent(part(at + glm::vec3(-0.14f, 0.19f, 0.04f)),
                           kit::Sprite::sharing(kit::textureManager().prefetch(badgeOf(*side)), 0.12f, 0.12f,
                                                gaugePriority(scoreLayer)));
}

} // namespace

float gaugePlace(int j, int count)
{
    if (count <= 4)
        return static_cast<float>(j) * 0.5f - 0.75f;
    // The last score, right of its gauge, ends inside a 4:3 window too.
    return -0.78f + 1.56f * static_cast<float>(j) / static_cast<float>(count - 1);
}

ScoreLayout scoreLayout(int count)
{
    ScoreLayout layout;
    layout.size = scaledText(0.1f);
    if (count <= 0)
        return layout;
    const float step = hud::advance(layout.size);
    const float slot = count > 1 ? (gaugePlace(1, count) - gaugePlace(0, count)) * hud::aspect : 2.0f * hud::aspect;
    const float last = gaugePlace(count - 1, count) * hud::aspect;
    // Beside, a score's fourth character ends five advances right of its
    // origin; at the designed size, with six gauges, that is a little over
    // the next gauge's ring.
    const float right = besideScoreX + 5.0f * step;
    layout.beside = right <= slot - ringRadius + 0.06f && last + right <= hud::aspect - 0.01f;
    layout.room = slot - hud::gap;
    return layout;
}

namespace {

// This copy's players become planes, each at its place on the spawn circle
// (every copy's players in the same id order on every copy); returns them.
std::vector<kit::EntityHandle> launchOwnPlanes(kit::World& world)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    const std::vector<kit::EntityHandle> players = world.getEntities(kit::typeId<PlayerInfo>())->toVector();
    const int count = static_cast<int>(players.size());
    std::vector<kit::EntityHandle> mine;
    for (int i = 0; i < count; ++i) {
        const kit::EntityHandle player{players[static_cast<std::size_t>(i)].id, &world};
        if (!world.owns(player.id))
            continue;
        const SpawnPlacement start = spawnPlacement(i, count, layoutOf(&world));
        if (network)
            network->callFunction(fn::spawnPlayer, player, start.position, start.rotation);
        mine.push_back(player);
    }
    return mine;
}

// The players of one copy, in id order (as every copy orders them).
std::vector<kit::EntityHandle> playersOf(kit::World& world, std::uint32_t origin)
{
    std::vector<kit::EntityHandle> found;
    for (const kit::EntityHandle& player : world.getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        if (player.id.origin == origin)
            found.push_back(kit::EntityHandle{player.id, &world});
    }
    return found;
}

} // namespace

void showGauges(kit::World& world, const std::vector<kit::EntityHandle>& mine)
{
    for (const kit::EntityHandle& part : world.getEntities(kit::tagId(gaugeLabel))->toVector())
        world.destroyEntity(kit::EntityHandle{part.id, &world}); // at the end of the frame
    const std::shared_ptr<kit::Material> ring = ringMaterial();
    const int count = static_cast<int>(mine.size());
    const ScoreLayout scores = scoreLayout(count);
    for (std::size_t j = 0; j < mine.size(); ++j) {
        if (const auto* info = world.getComponent<PlayerInfo>(mine[j].id))
            gauge(world, mine[j], *info, gaugePlace(static_cast<int>(j), count), scores, ring);
    }
}

namespace {

// The clock at the top, counting the match down.
void startClock(kit::World& world, float length)
{
    // Outlined, to read as well against the clouds as against the sky.
    const kit::EntityHandle clock = overlay(world, glm::vec3(0.0f, hud::clockBaseline(), 0.0f));
    addOutlinedText(world, clock, " 0:00", glm::vec2(hud::clockOrigin(), 0.0f), hud::clockSize(), glm::vec3(1.0f),
                    0.0f);
    world.addComponent(clock, new Timer(length));
}

// The end: every plane's points, to every copy. The clock of the copy that
// hosts, whichever it is by then, ends the match for everyone, so that every
// copy shows the same table; a joined copy started later (the start call
// travelled to it) and waits a little longer, ending the match itself only
// when the host's call does not come (no host is left). A copy that takes
// over from a host that went ends on its own clock at once.
void endWhenTimeIsUp(kit::World& world, float length)
{
    world.addComponent(world.createEntity(),
                       new kit::UpdateSignal([left = length](kit::Component* self, float dt) mutable {
                           left -= dt;
                           kit::NetworkSystem* n = kit::NetworkSystem::of(self->world);
                           const bool hosting = !n || n->isServer();
                           if (left >= (hosting ? 0.0f : -joinedCopyGrace))
                               return;
                           kit::World& w = *self->world;
                           if (n)
                               n->callFunction(fn::endGame, self->getEntity(), tableOf(w));
                           delete w.removeComponent(self);
                       }));
}

} // namespace

void startGameplay(kit::EntityHandle entity, const std::shared_ptr<MatchState>& state)
{
    kit::World* world = entity.world;
    // A copy that watches came after the start: the host says how the match stands.
    if (!world || state->started || state->view.watching)
        return;
    state->started = true;
    // A replay runs as long as its recording; a match as its host chose.
    const MatchRules rules = playedRules(*state);
    if (rules.mode == Mode::teams)
        beginTeamPlay(*world, rules.friendlyFire);
    const float chosen =
        state->view.length > 0.0f && rules.mode != Mode::lastPlaneStanding ? state->view.length : rules.seconds;
    const float length = std::clamp(chosen, 1.0f, 24.0f * 3600.0f);
    announceTicket(*world);
    std::vector<kit::EntityHandle> shown = launchOwnPlanes(*world);
    if (state->view.replayOf)
        shown = playersOf(*world, *state->view.replayOf);
    showGauges(*world, shown);
    startClock(*world, length);
    if (!state->view.replayOf) {
        showLinkStrip(*world, rules.mode == Mode::lastPlaneStanding);
        // A match of rounds ends when a plane has won them (RoundKeeper.h).
        if (rules.mode != Mode::lastPlaneStanding)
            endWhenTimeIsUp(*world, length);
    }
}

MatchRules playedRules(const MatchState& state)
{
    return state.rules.value_or(chosenRules());
}

bool watchesMatch(const std::string& screenName)
{
    return screenName == arrivingScreen || screenName == watchingScreen;
}

void startWatching(kit::World& world, const std::shared_ptr<MatchState>& state, const MatchSoFar& soFar)
{
    if (state->started || state->turnedAway || (!state->view.watching && !state->view.replayOf))
        return;
    state->started = true;
    state->dropInOpen = soFar.dropIn;
    if (const MatchRules rules = playedRules(*state); rules.mode == Mode::teams)
        beginTeamPlay(world, rules.friendlyFire);
    const std::vector<kit::EntityHandle> planes = takeMatchSoFar(world, soFar);
    const float left = secondsLeftOf(soFar);
    kit::log::info() << "Watching the match: " << planes.size() << (planes.size() == 1 ? " plane, " : " planes, ")
                     << Timer::format(left) << " left";
    showGauges(world, planes);
    startClock(world, left);
    if (state->view.replayOf)
        return;
    showLinkStrip(world, playedRules(*state).mode == Mode::lastPlaneStanding);
    if (playedRules(*state).mode != Mode::lastPlaneStanding)
        endWhenTimeIsUp(world, left);
    kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    if (!network)
        return;
    network->screenName = watchingScreen;
    announceTicket(world);
    // A copy that left this match and came back proves it; the host then
    // names the players it takes back (see MatchReturn.h).
    if (std::optional<comeBack::Note>& note = comeBack::pending()) {
        network->callFunction(fn::comeBack, world.systemEntity(), static_cast<std::uint32_t>(note->secret >> 32),
                              static_cast<std::uint32_t>(note->secret));
        kit::log::info() << "Asking to come back to the match";
        state->comingBack = std::move(note);
        note.reset();
    }
}

} // namespace skyscuffle
