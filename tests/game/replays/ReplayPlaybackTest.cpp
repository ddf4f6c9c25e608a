// The playback's pace, from the viewer's keys: it waits for its pictures,
// then catches up to where it starts; pauses, steps, changes speed within
// its four, jumps ahead at once and back by building itself again; stops on
// its last picture at the end, where records crowded together still come a
// step's worth at a time.
#include "game/replays/ReplayPlayback.h"

#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

namespace {

using skyscuffle::ReplayPlayback;

struct Playback : ::testing::Test {
    kit::Window window;
    kit::Application app{&window, nullptr};
    std::shared_ptr<kit::World> world = std::make_shared<kit::World>();
    ReplayPlayback* playback = nullptr;
    std::vector<ReplayPlayback::Pace> restarts;
    bool loaded = false;

    void start(ReplayPlayback::Pace pace = {}, std::vector<kit::ReplayRecord> records = {})
    {
        auto replay = std::make_shared<kit::Replay>();
        replay->header.seconds = 30.0f;
        replay->records = std::move(records);
        app.setWorld(world);
        world->addComponent(kit::EntityHandle{world->systemEntity(), world.get()}, new kit::NetworkSystem(30.0f));
        playback = new ReplayPlayback(
            replay, pace, [this](const ReplayPlayback::Pace& p) { restarts.push_back(p); }, [this] { return loaded; });
        world->addComponent(world->createEntity(), playback);
    }
    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            world->update(1.0f / 60.0f);
    }
};

} // namespace

TEST_F(Playback, WaitsForItsPicturesThenCatchesUpToItsStart)
{
    ReplayPlayback::Pace pace;
    pace.at = 12.0f;
    start(pace);
    frames(5);
    EXPECT_FALSE(playback->underway());
    EXPECT_EQ(playback->seconds(), 0.0f) << "nothing plays before the pictures";
    loaded = true;
    frames(2); // the catch-up is asked for, then run with the frame's own time
    EXPECT_TRUE(playback->underway());
    EXPECT_NEAR(playback->seconds(), 12.0f + 1.0f / 60.0f, 1e-3f);
    EXPECT_NE(playback->status().find("Playing 1x  0:12 / 0:30"), std::string::npos) << playback->status();
}

TEST_F(Playback, PauseStepSpeedsAndJumps)
{
    loaded = true;
    start();
    frames(61);
    EXPECT_NEAR(playback->seconds(), 1.0f, 1e-3f);

    playback->togglePause();
    frames(30);
    EXPECT_NEAR(playback->seconds(), 1.0f, 1e-3f) << "paused";
    playback->stepFrame();
    frames(1);
    EXPECT_NEAR(playback->seconds(), 1.0f + 1.0f / 60.0f, 1e-3f) << "one frame on";
    playback->togglePause();

    for (int i = 0; i < 5; ++i)
        playback->faster();
    EXPECT_EQ(playback->speed(), 4.0f);
    const float before = playback->seconds();
    frames(60);
    EXPECT_NEAR(playback->seconds() - before, 4.0f, 1e-2f) << "a second at 4x";
    for (int i = 0; i < 5; ++i)
        playback->slower();
    EXPECT_EQ(playback->speed(), 0.5f);
    playback->faster();
    EXPECT_EQ(playback->speed(), 1.0f);

    const float now = playback->seconds();
    playback->seek(now + ReplayPlayback::seekSeconds);
    frames(1);
    EXPECT_NEAR(playback->seconds(), now + 10.0f + 1.0f / 60.0f, 1e-2f) << "ahead at once";
    EXPECT_TRUE(restarts.empty());

    playback->togglePause();
    playback->seek(playback->seconds() - ReplayPlayback::seekSeconds);
    ASSERT_EQ(restarts.size(), 1u) << "back: built again";
    EXPECT_NEAR(restarts[0].at, now + 1.0f / 60.0f, 1e-3f); // back from where the jump ahead and its frame led
    EXPECT_TRUE(restarts[0].paused) << "as it stood";
    EXPECT_EQ(restarts[0].speed, 1u);
    playback->seek(-50.0f);
    ASSERT_EQ(restarts.size(), 2u);
    EXPECT_EQ(restarts[1].at, 0.0f) << "not before the start";
}

TEST_F(Playback, StopsOnItsLastPictureAtTheEnd)
{
    loaded = true;
    start();
    frames(2);
    playback->seek(100.0f); // beyond the end: the end
    frames(2);
    EXPECT_TRUE(playback->paused());
    EXPECT_EQ(playback->seconds(), 30.0f);
    EXPECT_NE(playback->status().find("End"), std::string::npos);
    playback->togglePause();
    EXPECT_TRUE(playback->paused()) << "at the end only back plays again";
    EXPECT_EQ(world->timeScale, 0.0f);
    playback->followNext(); // no planes: everyone
    EXPECT_EQ(playback->following(), "");
}

TEST_F(Playback, AClipIsOfTheLastTenSecondsAndNeedsOneBehindIt)
{
    loaded = true;
    start();
    std::vector<std::pair<float, float>> asked;
    playback->clip = [&asked](float from, float seconds) {
        asked.emplace_back(from, seconds);
        return std::string("drawing");
    };
    frames(30);
    playback->clipLastSeconds();
    EXPECT_TRUE(asked.empty()) << "half a second is too little";
    EXPECT_NE(playback->status().find("A clip needs a second"), std::string::npos);
    frames(60 * 4);
    playback->clipLastSeconds();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].first, 0.0f);
    EXPECT_NEAR(asked[0].second, playback->seconds(), 1e-4f);
    playback->seek(20.0f);
    frames(1);
    playback->clipLastSeconds();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_NEAR(asked[1].first, playback->seconds() - 10.0f, 1e-4f);
    EXPECT_EQ(asked[1].second, ReplayPlayback::clipSeconds);
    EXPECT_NE(playback->status().find("\ndrawing"), std::string::npos) << "the clip's line under the keys";
}

TEST_F(Playback, RecordsCrowdedAtTheEndComeAStepsWorthAnUpdateAndAllArrive)
{
    // Five steps' worth due at the last moment and just after it, as a file may have them.
    constexpr std::size_t per = kit::ReplayFeed::maxPerPlay;
    std::vector<kit::ReplayRecord> records(3 * per, {kit::ReplayRecord::Kind::calls, 29990, {0}});
    records.insert(records.end(), 2 * per, {kit::ReplayRecord::Kind::calls, 30400, {0}});
    loaded = true;
    start({}, records);
    frames(2);
    playback->seek(100.0f);
    frames(1);
    EXPECT_TRUE(playback->paused());
    EXPECT_EQ(playback->seconds(), 30.0f);
    EXPECT_FALSE(playback->feed().finished()) << "not all in one update";
    std::size_t played = playback->feed().played();
    for (int frame = 0; frame < 10; ++frame) {
        frames(1);
        EXPECT_LE(playback->feed().played() - played, per) << "frame " << frame;
        played = playback->feed().played();
    }
    EXPECT_TRUE(playback->feed().finished()) << "the rest over the frames of the pause at the end";
    EXPECT_EQ(played, records.size());
}
