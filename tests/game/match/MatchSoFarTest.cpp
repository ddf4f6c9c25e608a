// What a copy that comes to watch a running match is told of it, and what it
// makes of that: every field read back as written, nothing read beyond the
// stream or beyond a session's planes, and the planes made through the same
// checks as a peer's calls.
#include "game/match/MatchSoFar.h"

#include "game/combat/Score.h"
#include "game/common/Arena.h"
#include "game/common/Tags.h"
#include "game/match/PlayerPlane.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerInfo.h"

#include "HandlersFixture.h"
#include "engine/network/stream/NetStream.h"
#include "engine/physics/Transform.h"

#include <gtest/gtest.h>

#include <limits>

using namespace skyscuffle;

using test::Handlers;

namespace {

constexpr std::uint32_t soFarHost = 0xA000;

MatchSoFar::Plane snapshotPlane(std::uint32_t serial, std::size_t colour, std::int32_t points, glm::vec3 at = glm::vec3(0.0f))
{
    MatchSoFar::Plane p;
    p.id = kit::EntityID{soFarHost, serial};
    p.look = playerColours()[colour];
    p.number = static_cast<std::int32_t>(colour) + 1;
    p.flying = true;
    p.position = at;
    p.rotation = glm::angleAxis(0.5f, glm::vec3(0.0f, 0.0f, 1.0f));
    p.points = points;
    return p;
}

std::vector<std::uint8_t> soFarBytes(const kit::NetStream& stream)
{
    return {stream.data(), stream.data() + stream.bytesUsed()};
}

std::vector<std::uint8_t> writtenSoFar(MatchSoFar soFar)
{
    kit::NetStream out;
    serialize(out, soFar);
    return soFarBytes(out);
}

MatchSoFar readSoFar(const std::vector<std::uint8_t>& bytes)
{
    kit::NetStream in(bytes.data(), bytes.size());
    MatchSoFar read;
    serialize(in, read);
    return read;
}

} // namespace

TEST(MatchSoFarWire, EveryFieldOfEveryPlaneReadsBackAsWritten)
{
    MatchSoFar soFar;
    soFar.secondsLeft = 102.5f;
    soFar.planes = {snapshotPlane(7, 0, 12, glm::vec3(10.0f, -5.0f, 0.0f)), snapshotPlane(9, 3, -2, glm::vec3(-30.0f, 20.0f, 0.0f))};
    const MatchSoFar read = readSoFar(writtenSoFar(soFar));
    EXPECT_FLOAT_EQ(read.secondsLeft, 102.5f);
    ASSERT_EQ(read.planes.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(read.planes[i].id, soFar.planes[i].id) << i;
        EXPECT_EQ(read.planes[i].look, soFar.planes[i].look) << i;
        EXPECT_EQ(read.planes[i].number, soFar.planes[i].number) << i;
        EXPECT_EQ(read.planes[i].position, soFar.planes[i].position) << i;
        EXPECT_EQ(read.planes[i].rotation, soFar.planes[i].rotation) << i;
        EXPECT_EQ(read.planes[i].points, soFar.planes[i].points) << i;
    }
}

TEST(MatchSoFarWire, AStreamCutShortKeepsOnlyWholePlanesAndACountIsBoundedBySessions)
{
    MatchSoFar soFar;
    soFar.secondsLeft = 30.0f;
    soFar.planes = {snapshotPlane(1, 0, 4), snapshotPlane(2, 1, 6)};
    const std::vector<std::uint8_t> bytes = writtenSoFar(soFar);
    // Cut inside the second plane's points: only the first is whole.
    const MatchSoFar cut = readSoFar(std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 2));
    ASSERT_EQ(cut.planes.size(), 1u);
    EXPECT_EQ(cut.planes[0].points, 4);
    EXPECT_TRUE(readSoFar({}).planes.empty());

    // A count of thousands over as many planes: no more than a session flies.
    MatchSoFar many;
    for (std::uint32_t i = 0; i < MatchSoFar::mostPlanes + 5; ++i)
        many.planes.push_back(snapshotPlane(i + 1, i % 6, 0));
    EXPECT_EQ(readSoFar(writtenSoFar(many)).planes.size(), MatchSoFar::mostPlanes);
    // A forged count with nothing behind it reads no plane.
    kit::NetStream forged;
    float left = 10.0f;
    std::uint32_t count = 4000000000u;
    forged.serialize(left);
    forged.serialize(count);
    EXPECT_TRUE(readSoFar(soFarBytes(forged)).planes.empty());
}

TEST(MatchSoFarWire, TheTimeLeftIsAMatchsLengthAtMostAndNeverLessThanNothing)
{
    MatchSoFar soFar;
    for (const auto& [given, taken] :
         std::vector<std::pair<float, float>>{{95.0f, 95.0f},
                                              {-3.0f, 0.0f},
                                              {1e12f, MatchSoFar::longestMatch},
                                              {std::numeric_limits<float>::quiet_NaN(), 0.0f},
                                              {std::numeric_limits<float>::infinity(), 0.0f}}) {
        soFar.secondsLeft = given;
        EXPECT_EQ(secondsLeftOf(soFar), taken) << given;
    }
}

TEST_F(Handlers, AWatcherMakesTheHostsPlayersAndPlanesWithTheirPointsSoFar)
{
    world->origin = 0xC000;
    MatchSoFar soFar;
    soFar.secondsLeft = 60.0f;
    soFar.planes = {snapshotPlane(5, 2, 14, glm::vec3(12.0f, 8.0f, 0.0f)), snapshotPlane(6, 4, -3, glm::vec3(-20.0f, 0.0f, 0.0f))};
    const std::vector<kit::EntityHandle> shown = takeMatchSoFar(*world, soFar);
    ASSERT_EQ(shown.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const kit::EntityID id = soFar.planes[i].id;
        EXPECT_EQ(shown[i].id, id);
        const auto* info = world->getComponent<PlayerInfo>(id);
        ASSERT_NE(info, nullptr) << i;
        EXPECT_EQ(info->colourName, soFar.planes[i].look.colourName);
        EXPECT_EQ(info->number, static_cast<std::uint32_t>(soFar.planes[i].number));
        EXPECT_TRUE(world->entityHasTag(id, kit::tagId(tags::plane)));
        const auto* place = world->getComponent<kit::Transform>(id);
        ASSERT_NE(place, nullptr);
        EXPECT_EQ(place->position, soFar.planes[i].position);
        ASSERT_NE(world->getComponent<Score>(id), nullptr);
        EXPECT_EQ(world->getComponent<Score>(id)->points, soFar.planes[i].points);
    }
    // Told twice (the host tells every copy that arrives): nothing doubles,
    // and the points counted here since are not put back.
    world->getComponent<Score>(soFar.planes[0].id)->points = 16;
    EXPECT_EQ(takeMatchSoFar(*world, soFar).size(), 2u);
    EXPECT_EQ(world->getEntities(kit::typeId<PlayerInfo>())->size(), 2u);
    EXPECT_EQ(world->getComponent<Score>(soFar.planes[0].id)->points, 16);
}

TEST_F(Handlers, AHostsWordMakesNothingTheCallsThemselvesWouldRefuse)
{
    world->origin = 0xC000;
    MatchSoFar soFar;
    MatchSoFar::Plane unknownLook = snapshotPlane(1, 0, 0);
    unknownLook.look.modelTexture = "../../etc/passwd";
    MatchSoFar::Plane outside = snapshotPlane(2, 1, 0, glm::vec3(0.0f, arena::top + arena::margin + 5.0f, 0.0f));
    MatchSoFar::Plane mine = snapshotPlane(3, 2, 0);
    mine.id.origin = world->origin; // never this copy's own: its players are its to announce
    MatchSoFar::Plane noNumber = snapshotPlane(4, 3, 0);
    noNumber.number = 0;
    MatchSoFar::Plane boasting = snapshotPlane(5, 4, std::numeric_limits<std::int32_t>::max());
    soFar.planes = {unknownLook, outside, mine, noNumber, boasting};
    const std::vector<kit::EntityHandle> shown = takeMatchSoFar(*world, soFar);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].id, boasting.id);
    EXPECT_LE(world->getComponent<Score>(boasting.id)->points, 1000000) << "points no match can reach";
    for (const MatchSoFar::Plane& p : {unknownLook, mine, noNumber})
        EXPECT_EQ(world->getComponent<PlayerInfo>(p.id), nullptr) << p.id.serial;
    EXPECT_EQ(world->getComponent<kit::Transform>(outside.id), nullptr);
}

TEST_F(Handlers, TheHostsWordListsEveryPlaneWithItsPlayerPlaceAndPoints)
{
    world->origin = soFarHost;
    std::vector<kit::EntityHandle> players;
    for (std::size_t i = 0; i < 3; ++i) {
        players.push_back(world->createEntity());
        world->addComponent(players.back(), new PlayerInfo(playerColours()[i], static_cast<std::uint32_t>(i + 1)));
    }
    spawnPlayer(players[0], glm::vec3(5.0f, 6.0f, 0.0f), glm::quat(1, 0, 0, 0));
    spawnPlayer(players[2], glm::vec3(-7.0f, 1.0f, 0.0f), glm::quat(1, 0, 0, 0));
    world->getComponent<Score>(players[2].id)->points = 9;
    const MatchSoFar soFar = matchSoFar(*world, 42.0f);
    EXPECT_EQ(soFar.secondsLeft, 42.0f);
    ASSERT_EQ(soFar.planes.size(), 3u) << "every player, flying or not yet";
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(soFar.planes[i].id, players[i].id);
        EXPECT_EQ(soFar.planes[i].look, playerColours()[i]);
        EXPECT_EQ(soFar.planes[i].number, static_cast<std::int32_t>(i + 1));
        EXPECT_EQ(soFar.planes[i].flying, i != 1) << i;
    }
    EXPECT_EQ(soFar.planes[2].position, glm::vec3(-7.0f, 1.0f, 0.0f));
    EXPECT_EQ(soFar.planes[0].position, glm::vec3(5.0f, 6.0f, 0.0f));
    EXPECT_EQ(soFar.planes[2].points, 9);
    EXPECT_EQ(soFar.planes[0].points, 0);
}

TEST_F(Handlers, AWatcherKnowsAPlayerWhosePlaneIsOnItsWayAndMakesThePlaneWhenItComes)
{
    world->origin = 0xC000;
    MatchSoFar soFar;
    soFar.planes = {snapshotPlane(8, 1, 0, glm::vec3(3.0f, 4.0f, 0.0f))};
    soFar.planes[0].flying = false;
    EXPECT_TRUE(takeMatchSoFar(*world, soFar).empty());
    const kit::EntityHandle player{soFar.planes[0].id, world.get()};
    ASSERT_NE(world->getComponent<PlayerInfo>(player.id), nullptr);
    EXPECT_EQ(world->getComponent<kit::Transform>(player.id), nullptr) << "no plane where none flies";
    spawnPlayer(player, glm::vec3(-3.0f, 2.0f, 0.0f), glm::quat(1, 0, 0, 0));
    EXPECT_TRUE(world->entityHasTag(player.id, kit::tagId(tags::plane)));
}
