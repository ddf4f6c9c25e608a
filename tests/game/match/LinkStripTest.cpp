// The other copies' links in the match: three copies of the game in one
// process on the real match world; each shows a row for each other copy, with
// the link to it, changed once a second, and "left" once it has gone.
#include "game/match/LinkStrip.h"
#include "game/flight/PlanePhysics.h"
#include "game/lobby/LinkLabel.h"
#include "game/looks/LookSettings.h"
#include "game/match/HudLayout.h"

#include "engine/network/HostMigration.h"
#include "engine/network/LinkReport.h"
#include "engine/physics/Transform.h"
#include "engine/render/AspectTranslation.h"
#include "engine/render/Text.h"

#include "support/MatchSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

using namespace skyscuffle;

namespace {

using test::MatchCopy;

class LinkStrips : public test::MatchSession {
protected:
    static constexpr std::uint32_t hostOrigin = 0xA000, joinedOrigin = 0xB000, otherOrigin = 0xC000,
                                   fourthOrigin = 0xD000;
    std::vector<std::uint32_t> origins{hostOrigin, joinedOrigin, otherOrigin}; // the copies, host first
    int textPercent = 100;                                                     // the player's text size

    void SetUp() override
    {
        MatchSession::SetUp();
        tune("tuning.gameWorld.matchLength", "600", "180");
        if (textPercent != lookSettings::textSize.fallback())
            tune(lookSettings::textSize.key(), std::to_string(textPercent),
                 std::to_string(lookSettings::textSize.fallback()));
        openSession(origins);
        for (auto& c : copies)
            c->enterMatch();
        ASSERT_TRUE(until([&] {
            for (auto& c : copies) {
                if (count<PlanePhysics>(c->world()) != origins.size())
                    return false;
            }
            return true;
        }));
    }
    // The words of each row of a copy's strip: the texts pinned to the
    // window's side that are neither the clock (" 0:00") nor a score ("   0";
    // each row's words and their outline share an entity: one entry per entity).
    static std::multiset<std::string> rows(MatchCopy& c)
    {
        std::multiset<std::string> found;
        std::set<kit::EntityID> seen;
        for (kit::Component* t : *c.world().getComponentCollection(kit::typeId<kit::Text>())) {
            const auto* text = static_cast<kit::Text*>(t);
            const bool pinned = c.world().getComponent<kit::AspectTranslation>(text->entityId) != nullptr;
            const std::string& words = text->text();
            const bool clockOrScore = words.find(':') != std::string::npos ||
                                      (!words.empty() && words.find_first_not_of("0123456789 ") == std::string::npos);
            if (pinned && !clockOrScore && seen.insert(text->entityId).second)
                found.insert(text->text());
        }
        return found;
    }
    // Where a row's words stand on the overlay, as drawn.
    // The lines a row's words take on the overlay, each as tall as the words'
    // size (the dark outline drawn under them aside).
    struct Lines {
        float bottom = 0.0f, top = 0.0f;
    };
    static Lines linesOf(MatchCopy& c, const std::string& words)
    {
        for (kit::Component* t : *c.world().getComponentCollection(kit::typeId<kit::Text>())) {
            const auto* text = static_cast<kit::Text*>(t);
            const auto* place = c.world().getComponent<kit::Transform>(text->entityId);
            const bool outline = text->colour.r < 0.1f && text->colour.g < 0.1f && text->colour.b < 0.2f;
            if (text->text() == words && place && !outline) {
                const float first = text->origin.y + place->worldPosition().y;
                const auto more = static_cast<float>(std::count(words.begin(), words.end(), '\n'));
                return {first - more * text->glyphSize, first + text->glyphSize};
            }
        }
        ADD_FAILURE() << "no row says " << words;
        return {};
    }
    // A report from the host of its links to the other copies, as a faraway
    // host's would read: all the joined copy knows of its links through it.
    void reportToJoined(std::vector<kit::LinkReport::Entry> entries)
    {
        MatchCopy& joined = *copies[1];
        kit::LinkReport report;
        report.entries = std::move(entries);
        const kit::NetStream bytes = report.encode();
        joined.network->handlePacket(kit::NetPeer::Packet{
            {bytes.data(), bytes.data() + bytes.bytesUsed()}, *joined.network->migration().hostAddress(), 0});
    }
    static std::string labelOf(MatchCopy& c, std::uint32_t origin)
    {
        const std::optional<kit::LinkQuality> link = linkTo(&c.world(), origin);
        return link ? linkLabel(*link) : "(none)";
    }
    // `seconds` of frames of one copy alone, as fast as they come.
    static void framesOf(MatchCopy& c, float seconds)
    {
        for (float t = 0.0f; t < seconds; t += 1.0f / 60.0f)
            c.frame();
    }
};

} // namespace

TEST_F(LinkStrips, EveryCopyShowsTheLinkToEachOtherCopyAndNoneToItself)
{
    ASSERT_TRUE(until([&] {
        for (auto& c : copies) {
            if (rows(*c).size() != 2 || rows(*c).count("") > 0)
                return false;
        }
        return true;
    })) << "the rows were never filled";
    for (auto& c : copies) {
        const std::multiset<std::string> shown = rows(*c);
        EXPECT_EQ(shown.size(), 2u) << "a row for each other copy, none for its own players";
        for (const std::string& words : shown)
            EXPECT_NE(words.find(" ms"), std::string::npos) << words;
    }
}

TEST_F(LinkStrips, APoorLinkIsMarkedAndTheRowsChangeOnceASecond)
{
    MatchCopy& joined = *copies[1];
    ASSERT_TRUE(until([&] { return rows(joined).size() == 2 && rows(joined).count("") == 0; }));
    // From here on only the joined copy runs: nothing changes its figures
    // but the report below, as a faraway host's would read.
    running[0] = running[2] = false;
    framesOf(joined, 0.1f);
    const std::multiset<std::string> before = rows(joined);
    reportToJoined({{otherOrigin, kit::LinkQuality{400, 0.07f}}});
    const std::string poor = labelOf(joined, otherOrigin);
    ASSERT_EQ(poor.substr(0, 2), "! ");
    ASSERT_TRUE(poor.ends_with("% loss")) << poor;

    framesOf(joined, 0.1f);
    EXPECT_EQ(rows(joined), before) << "not every frame";
    framesOf(joined, 1.0f);
    const std::multiset<std::string> after = rows(joined);
    EXPECT_EQ(after.count(poor), 1u) << "once a second";
    EXPECT_EQ(after.count(labelOf(joined, hostOrigin)), 1u) << "the host's row stands";
}

TEST_F(LinkStrips, ACopyThatLeftSaysSo)
{
    MatchCopy& joined = *copies[1];
    ASSERT_TRUE(until([&] { return rows(joined).size() == 2 && rows(joined).count("") == 0; }));
    leave(2);
    ASSERT_TRUE(until([&] { return rows(joined).count("left") == 1; })) << "no row says the copy left";
    EXPECT_EQ(rows(joined).size(), 2u);
}

// Four copies at twice the text size: the words have less room beside the
// clock, and the joined copy shows three rows.
class LargeLinkStrips : public LinkStrips {
protected:
    LargeLinkStrips()
    {
        textPercent = 200;
        origins.push_back(fourthOrigin);
    }
};

// A poor link's label broken into two lines makes its row two lines tall:
// the words of the rows above and below keep the gap they had from it on one
// line, and no row runs off the window.
TEST_F(LargeLinkStrips, ALabelOnTwoLinesMakesItsRowTwoLinesTall)
{
    MatchCopy& joined = *copies[1];
    ASSERT_TRUE(until([&] { return rows(joined).size() == 3 && rows(joined).count("") == 0; }));
    running[0] = running[2] = running[3] = false;
    // The host's row, then the other copy's, then the fourth's; each says
    // something else, so that its words find its row.
    const auto shown = [&](const std::string& label) -> std::string {
        for (const std::string& words : rows(joined)) {
            std::string unbroken = words;
            std::replace(unbroken.begin(), unbroken.end(), '\n', ' ');
            if (unbroken == label)
                return words;
        }
        return "";
    };
    const auto gaps = [&] {
        const Lines above = linesOf(joined, shown(labelOf(joined, hostOrigin))),
                    middle = linesOf(joined, shown(labelOf(joined, otherOrigin))),
                    below = linesOf(joined, shown(labelOf(joined, fourthOrigin)));
        for (const Lines& l : {above, middle, below}) {
            EXPECT_GE(l.bottom, -1.0f);
            EXPECT_LE(l.top, 1.0f);
        }
        return std::pair{above.bottom - middle.top, middle.bottom - below.top};
    };
    reportToJoined({{otherOrigin, kit::LinkQuality{20, 0.0f}}, {fourthOrigin, kit::LinkQuality{30, 0.0f}}});
    framesOf(joined, 1.1f);
    const auto [aboveOne, belowOne] = gaps();
    ASSERT_GT(aboveOne, 0.0f);
    EXPECT_NEAR(belowOne, aboveOne, 0.002f) << "rows of one line stand evenly";

    // The other copy's link turns poor: its label takes two lines.
    reportToJoined({{otherOrigin, kit::LinkQuality{kit::LinkQuality::maxRoundTripMs, 0.99f}},
                    {fourthOrigin, kit::LinkQuality{30, 0.0f}}});
    framesOf(joined, 1.1f);
    const std::string broken = shown(labelOf(joined, otherOrigin));
    ASSERT_EQ(std::count(broken.begin(), broken.end(), '\n'), 1) << "not on two lines: " << broken;
    const auto [aboveTwo, belowTwo] = gaps();
    EXPECT_NEAR(aboveTwo, aboveOne, 0.002f) << "the poor link's first line comes up to the host's row";
    EXPECT_NEAR(belowTwo, belowOne, 0.002f) << "the poor link's second line comes down to the next row";
}

// However long a link's label, none of its lines runs past the room beside
// the clock (the clock's left less the gap that keeps words apart), where
// a line of n glyphs covers n + 1 advances from its origin.
TEST_F(LargeLinkStrips, NoLabelRunsIntoTheClock)
{
    MatchCopy& joined = *copies[1];
    ASSERT_TRUE(until([&] { return rows(joined).size() == 3 && rows(joined).count("") == 0; }));
    running[0] = running[2] = running[3] = false;
    float clock = hud::aspect;
    for (const hud::Area& area : hud::topMiddle(false, false))
        clock = std::min(clock, area.left);
    const float room = clock - hud::gap;
    std::size_t broken = 0;
    for (const std::uint32_t ms : {40u, 400u, 4000u}) {
        for (const float loss : {0.0f, 0.02f, 0.2f}) {
            reportToJoined({{otherOrigin, kit::LinkQuality{ms, loss}}, {fourthOrigin, kit::LinkQuality{ms, loss}}});
            framesOf(joined, 1.1f);
            for (kit::Component* t : *joined.world().getComponentCollection(kit::typeId<kit::Text>())) {
                const auto* text = static_cast<kit::Text*>(t);
                const auto* place = joined.world().getComponent<kit::Transform>(text->entityId);
                const std::string& words = text->text();
                if (!place || words.find(" ms") == std::string::npos)
                    continue;
                broken += words.find('\n') != std::string::npos;
                const float left = place->worldPosition().x + text->origin.x;
                for (std::size_t start = 0; start <= words.size();) {
                    const std::size_t end = std::min(words.find('\n', start), words.size());
                    const float right = left + static_cast<float>(end - start + 1) * hud::advance(text->glyphSize);
                    EXPECT_LE(right, room + 0.001f) << words.substr(start, end - start);
                    start = end + 1;
                }
            }
        }
    }
    EXPECT_GT(broken, 0u) << "every label fitted one line: nothing came near the clock";
}
