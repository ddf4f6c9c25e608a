// What a copy keeps of the match it plays, to come back to it after a crash:
// its fingerprint, its note written and read back whole or not at all.
#include "game/lobby/ComeBack.h"

#include "game/ai/ArtificialIntelligence.h"
#include "game/lobby/JoinedBy.h"
#include "game/players/PlayerFunctions.h"
#include "game/players/PlayerInfo.h"

#include "support/GameWorld.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace skyscuffle;
using comeBack::Note;

namespace {

Note aNote()
{
    Note note;
    note.host = "10.0.0.3";
    note.port = 16519;
    note.secret = 0x0123456789abcdefULL;
    note.writtenAt = 1'800'000'000;
    note.players = {{-1, false, 1, "Blue", 1}, {3, false, 1, "Pink", 2}, {-1, true, 2, "Yellow", 3}};
    return note;
}

void expectSame(const Note& a, const Note& b)
{
    EXPECT_EQ(a.host, b.host);
    EXPECT_EQ(a.port, b.port);
    EXPECT_EQ(a.secret, b.secret);
    EXPECT_EQ(a.writtenAt, b.writtenAt);
    ASSERT_EQ(a.players.size(), b.players.size());
    for (std::size_t i = 0; i < a.players.size(); ++i) {
        EXPECT_EQ(a.players[i].device, b.players[i].device) << i;
        EXPECT_EQ(a.players[i].computer, b.players[i].computer) << i;
        EXPECT_EQ(a.players[i].strength, b.players[i].strength) << i;
        EXPECT_EQ(a.players[i].colourName, b.players[i].colourName) << i;
        EXPECT_EQ(a.players[i].number, b.players[i].number) << i;
    }
}

} // namespace

TEST(ComeBackFingerprint, TheSameSecretTheSameFingerprintAndNoTwoAlike)
{
    EXPECT_EQ(comeBack::fingerprintOf(42), comeBack::fingerprintOf(42));
    std::set<comeBack::Fingerprint> seen;
    for (std::uint64_t s : {0ULL, 1ULL, 2ULL, 1ULL << 32, 1ULL << 63, ~0ULL, 0x0123456789abcdefULL})
        EXPECT_TRUE(seen.insert(comeBack::fingerprintOf(s)).second) << s;
    // Neither half of the secret shows in it.
    const comeBack::Fingerprint f = comeBack::fingerprintOf(0x0123456789abcdefULL);
    EXPECT_NE(f.high, 0x01234567u);
    EXPECT_NE(f.low, 0x89abcdefu);
    EXPECT_EQ(comeBack::secret(), comeBack::secret()) << "one secret a run";
    // The first 64 bits of the SHA-1 of the secret's eight bytes, lowest first
    // (as any other tool computes them).
    EXPECT_EQ(f, (comeBack::Fingerprint{0xb694c7a1u, 0x49de3b1eu}));
    EXPECT_EQ(comeBack::fingerprintOf(42), (comeBack::Fingerprint{0xd2c50949u, 0xa6763cb1u}));
}

class ComeBackPlayers : public test::GameWorld {
protected:
    void SetUp() override
    {
        GameWorld::SetUp();
        registerPlayerFunctions(*network);
    }
};

TEST_F(ComeBackPlayers, TheNotesPlayersComeBackWithTheirDevicesPilotsColoursAndNumbers)
{
    Note note = aNote(); // a keyboard player, a pad's (slot 3, not plugged in), a hard computer pilot
    note.players.push_back({JoinedBy::secondKeyboard, false, 1, "Green", 4});
    EXPECT_EQ(comeBack::restorePlayers(*world, note), 3u) << "the pad's player waits for its pad";
    std::map<std::string, kit::EntityID> byColour;
    for (const kit::EntityHandle& e : world->getEntities(kit::typeId<PlayerInfo>())->toVector())
        byColour[world->getComponent<PlayerInfo>(e.id)->colourName] = e.id;
    ASSERT_EQ(byColour.size(), 3u);
    const kit::EntityID keyboard = byColour.at("Blue"), pilot = byColour.at("Yellow"), second = byColour.at("Green");
    EXPECT_EQ(world->getComponent<PlayerInfo>(keyboard)->number, 1u);
    EXPECT_EQ(world->getComponent<PlayerInfo>(pilot)->number, 3u);
    EXPECT_EQ(world->getComponent<JoinedBy>(keyboard)->device, JoinedBy::keyboard);
    EXPECT_FALSE(world->getComponent<JoinedBy>(keyboard)->computer);
    EXPECT_EQ(world->getComponent<ArtificialIntelligence>(keyboard), nullptr);
    EXPECT_EQ(world->getComponent<JoinedBy>(second)->device, JoinedBy::secondKeyboard);
    ASSERT_NE(world->getComponent<ArtificialIntelligence>(pilot), nullptr);
    EXPECT_EQ(world->getComponent<ArtificialIntelligence>(pilot)->strength, PilotStrength::hard);
    EXPECT_TRUE(world->getComponent<JoinedBy>(pilot)->computer);
}

TEST(ComeBackNote, ReadsBackAsWritten)
{
    const Note note = aNote();
    const std::string text = comeBack::encode(note);
    EXPECT_NE(text.find("secret,0123456789abcdef\n"), std::string::npos);
    const std::optional<Note> read = comeBack::decode(text);
    ASSERT_TRUE(read);
    expectSame(*read, note);
    Note alone = note;
    alone.players.clear();
    ASSERT_TRUE(comeBack::decode(comeBack::encode(alone)));
}

TEST(ComeBackNote, AnythingButAWholeNoteIsNone)
{
    const std::string good = comeBack::encode(aNote());
    auto without = [&](const std::string& line) {
        std::string text = good;
        text.erase(text.find(line), line.size());
        return text;
    };
    auto replaced = [&](const std::string& line, const std::string& by) {
        std::string text = good;
        text.replace(text.find(line), line.size(), by);
        return text;
    };
    for (const std::string& bad : {
             without("host,10.0.0.3,16519\n"),
             without("secret,0123456789abcdef\n"),
             without("written,1800000000\n"),
             replaced("16519", "0"),
             replaced("16519", "70000"),
             replaced("16519", "16519x"),
             replaced("0123456789abcdef", "0123456789abcde"),
             replaced("0123456789abcdef", "0123456789abcdeg"),
             replaced("1800000000", "soon"),
             replaced("Pink", "Teal"),
             replaced("player,3,", "player,16,"),
             replaced("player,3,", "player,-3,"),
             replaced(",1,Blue", ",7,Blue"),
             replaced("Blue,1", "Blue,0"),
             replaced("Blue,1", "Blue,1001"),
             replaced("player,-1,1,2", "player,-1,2,2"),
             good + "tuning.anything,1\n",
             good + "player,-1,0,1,Red,4\nplayer,-1,0,1,Orange,5\nplayer,-1,0,1,Green,6\nplayer,-1,0,1,Red,7\n",
             std::string(),
         })
        EXPECT_FALSE(comeBack::decode(bad)) << bad;
    // Six players: a session's seats.
    EXPECT_TRUE(comeBack::decode(good + "player,-1,0,1,Red,4\nplayer,-1,0,1,Orange,5\nplayer,-1,0,1,Green,6\n"));
}

class ComeBackFile : public test::InTempDirectory {};

TEST_F(ComeBackFile, ANoteIsRecentOnlyWithinItsTimeAndGoneOnceForgotten)
{
    const std::filesystem::path file = root_ / "state" / "skyscuffle" / "match-note.txt";
    EXPECT_FALSE(comeBack::recent(0, 60, file)) << "no note";
    const Note note = aNote();
    comeBack::keep(note, file);
    ASSERT_TRUE(std::filesystem::exists(file));
    // The next match's note replaces it; no temporary file stays beside it.
    Note later = note;
    later.writtenAt += 30;
    later.port = static_cast<std::uint16_t>(note.port + 1);
    comeBack::keep(later, file);
    const auto entries = std::distance(std::filesystem::directory_iterator(file.parent_path()), {});
    EXPECT_EQ(entries, 1) << "the note alone in its folder";
    const std::optional<Note> read = comeBack::recent(later.writtenAt + 30, 60, file);
    ASSERT_TRUE(read);
    expectSame(*read, later);
    comeBack::keep(note, file);
    EXPECT_FALSE(comeBack::recent(note.writtenAt + 61, 60, file)) << "too old";
    EXPECT_FALSE(comeBack::recent(note.writtenAt - 1, 60, file)) << "written in the future";
    comeBack::forget(file);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(comeBack::recent(note.writtenAt, 60, file));

    write(file.string(), std::string(100000, 'x'));
    EXPECT_FALSE(comeBack::recent(note.writtenAt, 60, file)) << "a file that is no note";
    write(file.string(), comeBack::encode(note) + std::string(5000, '\n'));
    EXPECT_FALSE(comeBack::recent(note.writtenAt, 60, file)) << "longer than any note";
}
