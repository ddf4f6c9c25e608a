// The words over a match at twice the designed text size, on copies of the
// game in one process on the real match world: six scores over their gauges,
// each centred on its gauge and no wider than the room between its
// neighbours; and on a copy that watches a team match, its line and the
// other copies' links beside or under the clock and the sides' points, every
// word on a 4:3 window and clear of every other.
#include "game/combat/Score.h"
#include "game/combat/ScoreCounter.h"
#include "game/flight/PlanePhysics.h"
#include "game/looks/LookSettings.h"
#include "game/match/HudLayout.h"
#include "game/match/MatchStart.h"
#include "game/match/PlaneMarks.h"
#include "game/match/WatchView.h"

#include "support/MatchSession.h"
#include "support/PlaneMarkTexts.h"

#include "engine/network/LinkReport.h"
#include "engine/physics/Transform.h"
#include "engine/render/AspectTranslation.h"
#include "engine/render/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

using namespace skyscuffle;

namespace {

using test::MatchCopy;

struct Words {
    std::string text;
    kit::TextBounds bounds;
    kit::EntityID entity;
    const kit::Text* shown = nullptr;
};

// Where an entity of the HUD stands on a 4:3 window (the copies' window is
// square: its pinned items are placed here as a 4:3 one places them).
glm::vec3 placeOf(kit::World& world, kit::EntityID entity)
{
    if (const auto* pinned = world.getComponent<kit::AspectTranslation>(entity))
        return {pinned->offset.x * hud::aspect, pinned->offset.y, 0.0f};
    const auto* transform = world.getComponent<kit::Transform>(entity);
    return transform ? transform->worldPosition() : glm::vec3(0.0f);
}

// The HUD's words, not their outlines, nor the planes' marks that go with them.
std::vector<Words> hudWords(kit::World& world)
{
    const std::set<kit::EntityID> marks = test::planeMarkTexts(world);
    std::vector<Words> all;
    for (kit::Component* c : world.getComponentCollection(kit::typeId<kit::Text>())->toVector()) {
        const auto* text = static_cast<kit::Text*>(c);
        const bool outline = text->colour.r < 0.1f && text->colour.g < 0.1f && text->colour.b < 0.2f;
        if (outline || text->text().empty() || marks.contains(text->entityId) ||
            !world.entityHasTag(text->entityId, kit::tagId("hudSpace")))
            continue;
        const kit::TextBounds b =
            kit::textBounds(text->text(), text->glyphSize, text->origin + placeOf(world, text->entityId),
                            hud::advance(text->glyphSize));
        if (!b.empty())
            all.push_back({text->text(), b, text->entityId, text});
    }
    return all;
}

std::string describe(const Words& w)
{
    std::ostringstream out;
    out << '"' << w.text << "\" [" << w.bounds.left << ", " << w.bounds.bottom << " .. " << w.bounds.right << ", "
        << w.bounds.top << "]";
    return out.str();
}

// Every word on the window and clear of the others.
void expectApartOnTheWindow(const std::vector<Words>& words, const std::string& where)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        const kit::TextBounds& a = words[i].bounds;
        EXPECT_TRUE(a.left >= -hud::aspect && a.right <= hud::aspect && a.bottom >= -1.0f && a.top <= 1.0f)
            << where << ": off the window: " << describe(words[i]);
        for (std::size_t j = i + 1; j < words.size(); ++j) {
            const kit::TextBounds& b = words[j].bounds;
            const bool across = std::min(a.right, b.right) - std::max(a.left, b.left) > 0.002f;
            const bool upDown = std::min(a.top, b.top) - std::max(a.bottom, b.bottom) > 0.002f;
            EXPECT_FALSE(across && upDown) << where << ": " << describe(words[i]) << " and " << describe(words[j]);
        }
    }
}

class HudWords : public test::MatchSession {
protected:
    void SetUp() override
    {
        MatchSession::SetUp();
        tune(lookSettings::textSize.key(), "200", "100");
    }
};

} // namespace

TEST_F(HudWords, SixScoresStandOverTheirGaugesCentredAndNoWiderThanTheirRoom)
{
    openSession({0xA000}, 6);
    MatchCopy& c = *copies[0];
    c.enterMatch();
    ASSERT_TRUE(until([&] { return count<PlanePhysics>(c.world()) == 6; }));
    const ScoreLayout layout = scoreLayout(6);
    ASSERT_FALSE(layout.beside);
    // Long points, short ones, below zero.
    const std::vector<int> points{12345, -7, 0, 42, -123, 9};
    std::map<kit::EntityID, int> of;
    std::size_t i = 0;
    for (const kit::EntityHandle& plane : c.world().getEntities(kit::tagId("plane"))->toVector()) {
        of[plane.id] = points[i];
        c.world().getComponent<Score>(plane.id)->points = points[i++];
    }
    c.frame();
    std::vector<Words> scores;
    for (const Words& w : hudWords(c.world())) {
        const auto* counter = c.world().getComponent<ScoreCounter>(w.entity);
        if (!counter)
            continue;
        scores.push_back(w);
        EXPECT_TRUE(counter->centred);
        EXPECT_EQ(w.text, std::to_string(of.at(counter->plane.id)));
        // Centred on its gauge, over its ring.
        const float middle = placeOf(c.world(), w.entity).x;
        EXPECT_NEAR((w.bounds.left + w.bounds.right) * 0.5f, middle, 1e-4f) << describe(w);
        EXPECT_GT(w.bounds.bottom, -0.76f + 0.19f) << describe(w);
        const float size = w.shown->glyphSize;
        if (w.text.size() <= 3) {
            EXPECT_FLOAT_EQ(size, 0.2f) << describe(w) << ": twice the designed size";
        } else {
            EXPECT_LE(w.bounds.right - w.bounds.left, layout.room + 1e-4f) << describe(w);
            EXPECT_LT(size, 0.2f) << describe(w);
            EXPECT_GE(size, 0.2f * 0.6f) << describe(w);
        }
        // Its outline goes with it: every copy of its words as large, within a glyph of it.
        for (kit::Component* part : *c.world().componentsOf(w.entity)) {
            if (const auto* copy = dynamic_cast<kit::Text*>(part)) {
                EXPECT_FLOAT_EQ(copy->glyphSize, size);
                EXPECT_NEAR(copy->origin.x, w.shown->origin.x, 0.05f * layout.size);
            }
        }
    }
    EXPECT_EQ(scores.size(), 6u);
    expectApartOnTheWindow(scores, "the scores");
}

TEST_F(HudWords, AWatchersLineAndTheLinksKeepClearOfTheClockAndTheSidesPoints)
{
    tune("tuning.gameWorld.mode", "2", "0"); // a team match
    openSession({0xA000, 0xB000});
    copies[1]->enterMatch();
    copies[0]->enterMatch();
    ASSERT_TRUE(until(
        [&] { return count<PlanePhysics>(copies[0]->world()) == 2 && count<PlanePhysics>(copies[1]->world()) == 2; }));
    MatchCopy& watcher = copy(0xC000);
    watcher.network->join("127.0.0.1", copies[0]->network->peer->boundPort());
    ASSERT_TRUE(until([&] { return copies[0]->network->peers().contains(0xC000); }));
    watcher.watchMatch();
    ASSERT_TRUE(until([&] { return watcher.network->screenName == watchingScreen; }));
    ASSERT_TRUE(until([&] { return hudWords(watcher.world()).size() >= 8; })) << "clock, sides, scores, links, line";
    // From here on only the watcher runs, and its host says the link to the
    // other player's copy is poor: its longest words.
    running[0] = running[1] = false;
    kit::LinkReport report;
    report.entries = {{0xB000, kit::LinkQuality{400, 0.07f}}};
    const kit::NetStream bytes = report.encode();
    watcher.network->handlePacket(kit::NetPeer::Packet{
        {bytes.data(), bytes.data() + bytes.bytesUsed()}, *watcher.network->migration().hostAddress(), 0});
    watcher.world().single<WatchView>()->followNext(); // "Watching Orange"
    const auto says = [&](const std::string& part) {
        for (const Words& w : hudWords(watcher.world()))
            if (w.text.find(part) != std::string::npos)
                return true;
        return false;
    };
    ASSERT_TRUE(until([&] { return says("loss") && says("F follows"); }, 5))
        << "no poor link, or no watcher's line: " << [&] {
               std::string all;
               for (const Words& w : hudWords(watcher.world()))
                   all += describe(w) + "\n";
               return all;
           }();

    const std::vector<Words> words = hudWords(watcher.world());
    expectApartOnTheWindow(words, "the watcher's");
    for (const Words& w : words) {
        if (w.text.find("F follows") == std::string::npos)
            continue;
        EXPECT_FLOAT_EQ(w.shown->glyphSize, 0.1f) << "twice the designed size";
        EXPECT_GT(std::count(w.text.begin(), w.text.end(), '\n'), 2) << "broken into more lines: " << w.text;
    }
    expectApartOnTheWindow(hudWords(copies[1]->world()), "the joined player's");
}
