#include "RoundKeeper.h"

#include "MatchStart.h"
#include "Rounds.h"
#include "ScoreTable.h"
#include "SpawnCircle.h"
#include "Timer.h"

#include "game/ai/ArtificialIntelligence.h"
#include "game/combat/Health.h"
#include "game/combat/Score.h"
#include "game/common/CallRefusals.h"
#include "game/common/Tags.h"
#include "game/looks/OutlinedText.h"
#include "game/looks/TextScale.h"
#include "game/match/HudLayout.h"
#include "game/match/MatchFunctions.h"
#include "game/match/PlayerSpawnComp.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerInfo.h"
#include "game/players/PlayerShapes.h"

#include "engine/core/Label.h"
#include "engine/core/Log.h"
#include "engine/core/Translation.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Body.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/SpringAttachment.h"
#include "engine/physics/Transform.h"
#include "engine/render/Camera.h"
#include "engine/render/Text.h"

#include <algorithm>
#include <map>

#include <string>

namespace skyscuffle {

namespace {

std::vector<RoundPlane> roundPlanes(kit::World& world)
{
    std::vector<RoundPlane> planes;
    for (const kit::EntityHandle& plane : world.getEntities(kit::tagId(tags::plane))->toVector()) {
        const Health* health = world.getComponent<Health>(plane.id);
        planes.push_back(RoundPlane{plane.id, health && !health->isDead(), health ? health->currentHealth : 0.0f});
    }
    return planes;
}

// Over the HUD's gauges and clock.
constexpr float wordsLayer = 1.0f;

// Computer pilots play safe among the last few planes flying, and leave the
// others to fight; two left fight it out (two careful pilots would only
// circle each other until the clock).
constexpr std::size_t fewLeft = 3;

// A wreck that stays down for the rest of the round leaves the play: the
// camera frames the planes still flying, and once it has fallen (a respawn's
// delay) it lies still where it fell and nothing meets it. Flying again, it
// is back in both.
void holdWreck(kit::World& world, kit::EntityID plane, bool flying, std::map<kit::EntityID, float>& downFor, float dt)
{
    const kit::TagId focus = kit::tagId("cameraFocus");
    if (flying) {
        if (downFor.erase(plane) > 0) {
            if (auto* collider = world.getComponent<kit::CircleCollider>(plane))
                collider->enabled = true;
            if (auto* body = world.getComponent<kit::Body>(plane))
                body->enabled = true;
        }
        if (!world.entityHasTag(plane, focus))
            world.addComponent(kit::EntityHandle{plane, &world}, new kit::Label("cameraFocus"));
        return;
    }
    if (world.entityHasTag(plane, focus))
        world.destroyComponents(plane, focus);
    float& down = downFor[plane];
    down += dt;
    if (down < Health::respawnSeconds)
        return;
    if (auto* collider = world.getComponent<kit::CircleCollider>(plane))
        collider->enabled = false;
    if (auto* body = world.getComponent<kit::Body>(plane)) {
        body->velocity = glm::vec3(0.0f);
        body->enabled = false;
    }
}

// Every plane keeps its wreck down and scores rounds, not kills: set on every
// plane each frame, so that a plane made by any route (start, drop-in, a
// copy that came back) plays the mode.
void playRoundsOnEveryPlane(kit::World& world, MatchState& state, float dt)
{
    const std::vector<RoundPlane> planes = roundPlanes(world);
    std::size_t flying = 0;
    for (const RoundPlane& plane : planes) {
        flying += plane.flying;
        holdWreck(world, plane.plane, plane.flying, state.rounds.downFor, dt);
    }
    for (const kit::EntityHandle& plane : world.getEntities(kit::tagId(tags::plane))->toVector()) {
        if (auto* spawn = world.getComponent<PlayerSpawnComp>(plane.id))
            spawn->respawns = false;
        if (auto* score = world.getComponent<Score>(plane.id))
            score->byKills = false;
        if (auto* ai = world.getComponent<ArtificialIntelligence>(plane.id))
            ai->cautious = flying > 2 && flying <= fewLeft;
    }
}

// A line of the HUD, outlined, centred on x = 0 (the font's cells are 34 x
// 64); returns its entity.
kit::EntityID centredLine(kit::World& world, const std::string& words, float y, float size, glm::vec3 colour)
{
    const float width = hud::advance(size) * static_cast<float>(words.size());
    const kit::EntityHandle line = world.createEntity();
    world.addComponent(line, new kit::Label(tags::hudSpace));
    world.addComponent(line, new kit::Transform(glm::vec3(0.0f)));
    addOutlinedText(world, line, words, glm::vec2(-0.5f * width, y), size, colour, wordsLayer);
    return line.id;
}

// How wide a banner's lines may be: a 4:3 window's width, less a margin either side.
constexpr float bannerMargin = 0.1f;

// Words centred on x = 0 in as many lines as they take, the first line's
// bottom at `y`, each line an entity of `lines`; returns the last line's bottom.
float centredLines(kit::World& world, std::vector<kit::EntityID>& lines, const std::string& words, float y, float size,
                   glm::vec3 colour)
{
    const std::vector<std::string> broken = hud::breakLines(words, 2.0f * (hud::aspect - bannerMargin), size);
    for (std::size_t i = 0; i < broken.size(); ++i) {
        if (i > 0)
            y -= size;
        lines.push_back(centredLine(world, broken[i], y, size, colour));
    }
    return y;
}

void clearBanner(kit::World& world, MatchState::Rounds& rounds)
{
    for (const kit::EntityID& line : rounds.banner)
        world.destroyEntity(kit::EntityHandle{line, &world});
    rounds.banner.clear();
}

// The round flown, or the one just over during the pause.
std::string roundLabel(const MatchState& state)
{
    const std::int32_t round = state.rounds.pauseLeft ? state.rounds.over : state.rounds.over + 1;
    return hud::roundLine(round, playedRules(state).roundsToWin);
}

// "Round 2, first to 3" under the clock, kept to the round being flown.
void showRoundLabel(kit::World& world, MatchState& state)
{
    const std::string words = roundLabel(state);
    if (state.rounds.label) {
        if (auto* text = world.getComponent<kit::Text>(*state.rounds.label)) {
            if (text->text() == words)
                return;
            // Centred again for its new width: every copy (the outline's
            // too) moves by as much.
            const float shift = hud::advance(text->glyphSize) * 0.5f *
                                (static_cast<float>(text->text().size()) - static_cast<float>(words.size()));
            setOutlinedText(text, words);
            for (kit::Component* c : *world.componentsOf(*state.rounds.label))
                if (c->hasTag(kit::typeId<kit::Text>()))
                    static_cast<kit::Text*>(c)->origin.x += shift;
            return;
        }
    }
    state.rounds.label = centredLine(world, words, hud::roundLineBaseline(), hud::roundLineSize(), glm::vec3(1.0f));
}

std::string nameOfPlane(kit::World& world, kit::EntityID plane)
{
    const auto* info = world.getComponent<PlayerInfo>(plane);
    return info ? info->colourName : std::string("A plane");
}

// The round's word in the middle of the screen, in the winner's colour and
// after its shape.
void showBanner(kit::World& world, MatchState& state, const RoundEnd& end, std::int32_t round, bool matchWon)
{
    clearBanner(world, state.rounds);
    const auto* info = end.winner ? world.getComponent<PlayerInfo>(*end.winner) : nullptr;
    const glm::vec3 colour = info ? brightColour(info->colour) : glm::vec3(0.9f);
    std::string who = end.winner ? kit::tr(nameOfPlane(world, *end.winner).c_str()) : kit::tr("Nobody");
    if (const std::optional<Shape> shape = info ? shapeOfLivery(info->modelTexture) : std::nullopt)
        who = markOf(shape) + who;
    const std::string line = matchWon ? kit::format(kit::tr("{1} wins the match!"), {who})
                                      : kit::format(kit::tr("{1} wins round {2}"), {who, std::to_string(round)});
    const float scale = textScale();
    const float last = centredLines(world, state.rounds.banner, line, 0.3f, 0.1f * scale, colour);
    if (end.timeUp)
        centredLines(world, state.rounds.banner,
                     end.winner ? kit::tr("Time: the most health wins") : kit::tr("Time: nobody leads"),
                     last - 0.1f * scale, 0.05f * scale, glm::vec3(0.9f));
}

void takeRoundOver(kit::World& world, MatchState& state, kit::EntityID winner, std::int32_t round, bool timeUp)
{
    const MatchRules rules = playedRules(state);
    if (!state.started || state.ended || rules.mode != Mode::lastPlaneStanding)
        return;
    if (round <= state.rounds.over || round > mostRounds(rules.roundsToWin)) {
        refuseCall(fn::roundOver.name, "a round over already, or beyond the match's last");
        if (kit::NetworkSystem* network = kit::NetworkSystem::of(&world))
            network->refuseRunningCall();
        return;
    }
    Score* score = world.entityHasTag(winner, kit::tagId(tags::plane)) ? world.getComponent<Score>(winner) : nullptr;
    const RoundEnd end{score ? std::optional(winner) : std::nullopt, timeUp};
    if (score)
        score->points += 1;
    state.rounds.over = round;
    state.rounds.pauseLeft = roundPause;
    state.rounds.startedWith.reset();
    const bool matchWon = score && score->points >= rules.roundsToWin;
    showBanner(world, state, end, round, matchWon);
    kit::log::info() << "Round " << round << ": " << (score ? nameOfPlane(world, winner) : std::string("nobody"))
                     << (timeUp ? " wins on time" : " wins");
    roundEnded()(end, round);
}

// The game camera cuts back to the opening view for the next round, rather
// than glide from the last round's end to planes put back on the circle.
void cutToOpeningView(kit::World& world)
{
    for (kit::Component* c : world.getComponentCollection(kit::typeId<kit::SpringAttachment>())->toVector()) {
        if (!world.getComponent<kit::Camera>(c->entityId))
            continue;
        if (auto* place = world.getComponent<kit::Transform>(c->entityId))
            place->position = openingView(layoutOf(&world));
        if (auto* body = world.getComponent<kit::Body>(c->entityId))
            body->velocity = glm::vec3(0.0f);
    }
}

// The next round on this copy: its own planes back on the spawn circle (in
// the order every copy gives the players), the clock full again, the camera
// on the whole circle.
void beginRound(kit::World& world, MatchState& state, float seconds)
{
    cutToOpeningView(world);
    state.rounds.pauseLeft.reset();
    state.rounds.running = 0.0f;
    state.rounds.startedWith.reset();
    clearBanner(world, state.rounds);
    if (Timer* clock = world.single<Timer>())
        clock->remaining = seconds;
    const std::vector<kit::EntityHandle> players = world.getEntities(kit::typeId<PlayerInfo>())->toVector();
    const int count = static_cast<int>(players.size());
    for (int i = 0; i < count; ++i) {
        const kit::EntityID player = players[static_cast<std::size_t>(i)].id;
        auto* spawn = world.owns(player) ? world.getComponent<PlayerSpawnComp>(player) : nullptr;
        if (!spawn)
            continue;
        const SpawnPlacement start = spawnPlacement(i, count, layoutOf(&world));
        spawn->respawnAt(start.position, start.rotation);
    }
}

// On the hosting copy: the round judged, and its end told to every copy.
void judge(kit::World& world, MatchState& state, kit::NetworkSystem& network)
{
    const std::vector<RoundPlane> planes = roundPlanes(world);
    std::size_t flying = 0;
    for (const RoundPlane& plane : planes)
        flying += plane.flying;
    MatchState::Rounds& rounds = state.rounds;
    if (!rounds.startedWith) {
        // The other copies' planes fly (again) a round trip after this
        // one's: the round is judged once every player's does.
        const std::size_t players = world.getEntities(kit::typeId<PlayerInfo>())->size();
        if (flying < players && rounds.running < roundSeatWait)
            return;
        rounds.startedWith = flying;
    }
    const Timer* clock = world.single<Timer>();
    const std::optional<RoundEnd> end = judgeRound(planes, *rounds.startedWith, clock && clock->remaining <= 0.0f);
    if (end)
        network.callFunction(fn::roundOver, world.systemEntity(), end->winner.value_or(kit::EntityID{}),
                             rounds.over + 1, end->timeUp);
}

} // namespace

void registerRoundFunctions(kit::World& world, const std::shared_ptr<MatchState>& state)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    if (!network)
        return;
    network->registerFunction(world, fn::roundOver,
                              [state](kit::EntityHandle host, kit::EntityID winner, std::int32_t round, bool timeUp) {
                                  if (host.world)
                                      takeRoundOver(*host.world, *state, winner, round, timeUp);
                              });
    network->registerFunction(world, fn::roundsSoFar, [state](kit::EntityHandle host, std::int32_t over) {
        // Taken by a copy that has not started (one that comes to watch), within the match's rounds.
        if (state->started || !host.world)
            return;
        if (over < 0 || over > mostRounds(playedRules(*state).roundsToWin)) {
            refuseCall(fn::roundsSoFar.name, "more rounds over than the match has, or fewer than none");
            if (kit::NetworkSystem* n = kit::NetworkSystem::of(host.world))
                n->refuseRunningCall();
            return;
        }
        state->rounds.over = over;
    });
}

void keepRounds(kit::World& world, MatchState& state, bool hosting, float dt)
{
    const MatchRules rules = playedRules(state);
    if (rules.mode != Mode::lastPlaneStanding || !state.started || state.ended)
        return;
    playRoundsOnEveryPlane(world, state, dt);
    showRoundLabel(world, state);
    MatchState::Rounds& rounds = state.rounds;
    kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    if (rounds.pauseLeft) {
        *rounds.pauseLeft -= dt;
        if (*rounds.pauseLeft > 0.0f)
            return;
        const ScoreTable table = tableOf(world);
        if (!champion(table, rules.roundsToWin) && rounds.over < mostRounds(rules.roundsToWin)) {
            beginRound(world, state, rules.seconds);
            return;
        }
        // The match is won: the hosting copy ends it for everyone.
        if (hosting && network && !rounds.endSent) {
            rounds.endSent = true;
            network->callFunction(fn::endGame, world.systemEntity(), table);
        }
        return;
    }
    rounds.running += dt;
    if (hosting && network && !state.view.replayOf)
        judge(world, state, *network);
}

kit::Signal<void(const RoundEnd&, std::int32_t)>& roundEnded()
{
    static kit::Signal<void(const RoundEnd&, std::int32_t)> signal;
    return signal;
}

} // namespace skyscuffle
