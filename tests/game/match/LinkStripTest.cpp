// The other copies' links in the match: three copies of the game in one
// process on the real match world; each shows a row for each other copy, with
// the link to it, changed once a second, and "left" once it has gone.
#include "game/match/LinkStrip.h"
#include "game/flight/PlanePhysics.h"
#include "game/lobby/LinkLabel.h"

#include "engine/network/HostMigration.h"
#include "engine/network/LinkReport.h"
#include "engine/render/AspectTranslation.h"
#include "engine/render/Text.h"

#include "support/MatchSession.h"

#include <gtest/gtest.h>

#include <set>

using namespace skyscuffle;

namespace {

using test::MatchCopy;

class LinkStrips : public test::MatchSession {
protected:
    static constexpr std::uint32_t hostOrigin = 0xA000, joinedOrigin = 0xB000, otherOrigin = 0xC000;

    void SetUp() override
    {
        MatchSession::SetUp();
        tune("tuning.gameWorld.matchLength", "600", "180");
        openSession({hostOrigin, joinedOrigin, otherOrigin});
        for (auto& c : copies)
            c->enterMatch();
        ASSERT_TRUE(until([&] {
            for (auto& c : copies) {
                if (count<PlanePhysics>(c->world()) != 3)
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
    kit::LinkReport report;
    report.entries = {{otherOrigin, kit::LinkQuality{400, 0.07f}}};
    const kit::NetStream bytes = report.encode();
    joined.network->handlePacket(kit::NetPeer::Packet{
        {bytes.data(), bytes.data() + bytes.bytesUsed()}, *joined.network->migration().hostAddress(), 0});
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
