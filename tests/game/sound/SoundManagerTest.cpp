// Sound through SDL's "disk" audio driver, which writes the mixed output to a
// file instead of a device: what the game plays can be read back.
#include "game/sound/SoundManager.h"
#include "engine/core/World.h"
#include "support/TempDirectory.h"

#include "engine/core/Settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

using namespace skyscuffle;

namespace {

class Sound : public ::testing::Test {
protected:
    void SetUp() override
    {
        output_ = std::filesystem::temp_directory_path() /
                  ("skyscuffle-audio-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".raw");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "5", 1);
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(SKYSCUFFLE_SOURCE_DIR); // sound paths are relative to the game's root
        system = std::make_unique<audio::AudioSystem>();
        ASSERT_TRUE(system->ready()) << system->error();
        manager = new SoundManager(*system);
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, manager);
    }
    void TearDown() override
    {
        std::filesystem::current_path(previous_);
        std::filesystem::remove(output_);
    }

    // Lets the mixer run, closes the device and returns the loudest sample
    // written (from the byte `from` of the output on).
    int loudestAfter(std::chrono::milliseconds time, std::uintmax_t from = 0)
    {
        std::this_thread::sleep_for(time);
        world.destroyEntityNow(kit::EntityHandle{world.systemEntity(), &world}); // frees the sounds first
        system.reset();
        std::ifstream raw(output_, std::ios::binary);
        raw.seekg(static_cast<std::streamoff>(from - from % 4)); // whole frames of two 16-bit samples
        int loudest = 0;
        std::int16_t sample = 0;
        std::size_t samples = 0;
        while (raw.read(reinterpret_cast<char*>(&sample), sizeof sample)) {
            loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
            ++samples;
        }
        EXPECT_GT(samples, 1000u) << "the disk driver wrote nothing";
        return loudest;
    }

    std::filesystem::path output_;
    std::filesystem::path previous_;
    std::unique_ptr<audio::AudioSystem> system;
    kit::World world;
    SoundManager* manager = nullptr;
};

} // namespace

TEST_F(Sound, AShotIsHeard)
{
    SoundManager::loadSounds(&world);
    manager->finishLoading();
    EXPECT_EQ(manager->sounds.size(), 14u);
    manager->play("basicShot");
    EXPECT_GT(loudestAfter(std::chrono::milliseconds(400)), 1000);
}

TEST_F(Sound, AtNoEffectsVolumeAShotIsSilentAndEachVolumeGoesToItsOwnSounds)
{
    kit::settings::setPlayer("tuning.sound.effectsVolume", "0.5");
    kit::settings::setPlayer("tuning.sound.musicVolume", "0.25");
    SoundManager::loadSounds(&world);
    manager->finishLoading();
    const audio::Channel shot = manager->playAndGetChannel("basicShot");
    EXPECT_FLOAT_EQ(system->volume(shot), 0.5f);
    EXPECT_FLOAT_EQ(system->volume(manager->backgroundChannel), 0.25f);
    kit::settings::setPlayer("tuning.sound.musicVolume", "0.75");
    manager->applyVolumes(); // a new choice reaches the music playing now
    EXPECT_FLOAT_EQ(system->volume(manager->backgroundChannel), 0.75f);
    EXPECT_FLOAT_EQ(system->volume(shot), 0.5f);
    system->stop(shot);
    // What was mixed before the stop is written out first; only what follows counts.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::uintmax_t stopped = std::filesystem::file_size(output_);
    kit::settings::setPlayer("tuning.sound.effectsVolume", "0");
    manager->play("basicShot");
    const int loudest = loudestAfter(std::chrono::milliseconds(400), stopped);
    kit::settings::clearPlayer("tuning.sound.effectsVolume");
    kit::settings::clearPlayer("tuning.sound.musicVolume");
    EXPECT_EQ(loudest, 0);
}

TEST_F(Sound, ThePausedBackgroundIsSilentUntilResumed)
{
    testing::internal::CaptureStderr();
    SoundManager::loadSounds(&world);
    manager->finishLoading();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), ""); // every file of the table loads
    EXPECT_TRUE(manager->backgroundChannel);
    EXPECT_EQ(loudestAfter(std::chrono::milliseconds(400)), 0);
}

TEST_F(Sound, ResumingTheBackgroundPlaysIt)
{
    SoundManager::loadSounds(&world);
    manager->finishLoading();
    testing::internal::CaptureStdout();
    manager->setBackgroundPaused(false);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Toggled Background sound\n");
    EXPECT_TRUE(system->isPlaying(manager->backgroundChannel));
    EXPECT_GT(loudestAfter(std::chrono::milliseconds(400)), 1000);
}

TEST_F(Sound, TheBackgroundPausesAgainWhenTheMatchEnds)
{
    SoundManager::loadSounds(&world);
    manager->finishLoading();
    testing::internal::CaptureStdout();
    manager->setBackgroundPaused(false); // a match begins
    ASSERT_TRUE(system->isPlaying(manager->backgroundChannel));
    manager->setBackgroundPaused(true); // and ends
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(system->isPlaying(manager->backgroundChannel));
    manager->setBackgroundPaused(false);
    EXPECT_TRUE(system->isPlaying(manager->backgroundChannel)) << "and plays on from where it was";
}

TEST_F(Sound, TheSwitchSilencesEverything)
{
    SoundManager::loadSounds(&world);
    manager->finishLoading();
    manager->soundOn = false;
    testing::internal::CaptureStdout();
    manager->play("basicShot");
    manager->setBackgroundPaused(false);
    EXPECT_FALSE(manager->playAndGetChannel("basicShot"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(loudestAfter(std::chrono::milliseconds(300)), 0);
}

TEST_F(Sound, MissingFilesCostOneLineAndNothingLater)
{
    testing::internal::CaptureStderr();
    manager->addSound("ghost", "assets/sound/nothing-here.wav", audio::Mode::oneShot);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("Sound error: ", 0), 0u) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    manager->play("ghost");
    manager->play("nobody");
    EXPECT_FALSE(manager->playAndGetChannel("ghost"));
}

TEST_F(Sound, SoundsDecodeOnTheLoaderThreadAndArriveWithAFrame)
{
    const std::shared_ptr<SoundEntry> shot =
        manager->queueSound("basicShot", "assets/sound/basicShot.wav", audio::Mode::oneShot);
    EXPECT_EQ(manager->sounds.size(), 1u); // the entry is there at once, silent until decoded
    for (int frame = 0; frame < 500 && !shot->sound; ++frame) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        manager->update(0.0f);
    }
    ASSERT_TRUE(shot->sound) << "a frame's update takes the decoded sound in";
    manager->play("basicShot");
    EXPECT_GT(loudestAfter(std::chrono::milliseconds(400)), 1000);
}

TEST_F(Sound, MusicAskedForWhileDecodingStartsOnceDecoded)
{
    SoundManager::loadSounds(&world);
    manager->setBackgroundPaused(false); // a match starts before the music is ready
    manager->finishLoading();
    ASSERT_TRUE(manager->backgroundChannel);
    EXPECT_TRUE(system->isPlaying(manager->backgroundChannel));
    EXPECT_GT(loudestAfter(std::chrono::milliseconds(400)), 1000);
}

TEST_F(Sound, AQueuedMissingFileCostsOneLineWhenTakenIn)
{
    testing::internal::CaptureStderr();
    manager->queueSound("ghost", "assets/sound/nothing-here.wav", audio::Mode::oneShot);
    manager->finishLoading();
    manager->finishLoading();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("Sound error: ", 0), 0u) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    EXPECT_FALSE(manager->playAndGetChannel("ghost"));
}

TEST_F(Sound, ChannelsGoStaleWhenTheirSoundEnds)
{
    SoundManager::loadSounds(&world);
    manager->finishLoading();
    const audio::Channel first = manager->playAndGetChannel("upDown"); // 0.06 s
    ASSERT_TRUE(first);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    manager->update(0.0f);
    const audio::Channel next = manager->playAndGetChannel("upDown");
    ASSERT_TRUE(next);
    ASSERT_EQ(next.index, first.index); // the ended sound's channel is reused
    EXPECT_FALSE(system->stop(first));  // the old handle no longer reaches it
    EXPECT_TRUE(system->isPlaying(next));
}

TEST_F(Sound, AStoppedChannelStaysStopped)
{
    SoundManager::loadSounds(&world);
    manager->finishLoading();
    const audio::Channel background = manager->backgroundChannel;
    manager->stop(background);
    EXPECT_FALSE(system->setPaused(background, false)); // the handle went stale: no sound, no crash
    EXPECT_FALSE(system->isPlaying(background));
    EXPECT_EQ(loudestAfter(std::chrono::milliseconds(200)), 0);
}

namespace {

// Keeps a looping sound for as long as it lives, as a power-up does.
class LoopingFire : public kit::Component {
public:
    explicit LoopingFire(PlayingSound sound) : sound(std::move(sound)) {}
    PlayingSound sound;
};

} // namespace

TEST_F(Sound, AKeptSoundStopsWhenItsOwnersWorldIsTornDown)
{
    SoundManager::loadSounds(&world);
    manager->finishLoading();
    audio::Channel channel;
    {
        kit::World match;
        auto* fire = new LoopingFire(manager->playKept("drumloop", audio::Mode::loop));
        channel = fire->sound.channel();
        match.addComponent(match.createEntity(), fire);
        ASSERT_TRUE(system->isPlaying(channel));
    } // the match ends: no onRemoved, only destructors
    EXPECT_FALSE(system->isPlaying(channel));
    // What was mixed before the end is written out first; only what follows counts.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::uintmax_t ended = std::filesystem::file_size(output_);
    EXPECT_EQ(loudestAfter(std::chrono::milliseconds(200), ended), 0);
}

TEST_F(Sound, AKeptSoundStopsWhenLetGoAndNotBefore)
{
    SoundManager::loadSounds(&world);
    manager->finishLoading();
    PlayingSound kept = manager->playKept("upDown", audio::Mode::loop); // 0.06 s, looping
    ASSERT_TRUE(kept);
    PlayingSound moved = std::move(kept);
    EXPECT_FALSE(kept);
    EXPECT_TRUE(system->isPlaying(moved.channel()));             // moving does not stop it
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // it goes round several times
    manager->update(0.0f);
    EXPECT_TRUE(system->isPlaying(moved.channel()));
    moved.stop();
    EXPECT_FALSE(system->isPlaying(moved.channel()));
    manager->soundOn = false;
    EXPECT_FALSE(manager->playKept("drumloop", audio::Mode::loop));
}

TEST(SoundWithoutADevice, EveryCallIsHarmless)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    audio::AudioSystem system;
    EXPECT_FALSE(system.ready());
    EXPECT_FALSE(system.error().empty());
    kit::World world;
    auto* manager = new SoundManager(system);
    world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, manager);
    testing::internal::CaptureStderr();
    SoundManager::loadSounds(&world);
    manager->finishLoading();
    manager->play("basicShot");
    manager->setBackgroundPaused(false);
    manager->update(0.016f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), ""); // reported once, at start, by the game
}

TEST(SoundFiles, AllFourteenExistDecodeAndStaySmall)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    audio::AudioSystem system;
    ASSERT_TRUE(system.ready()) << system.error();
    const std::filesystem::path folder = std::filesystem::path(SKYSCUFFLE_SOURCE_DIR) / "assets/sound";
    int files = 0;
    for (const char* name : {"JungleParty.mp3", "drumloop.wav", "bomb_explosion.mp3", "bomb_drop.mp3",
                             "Gatling Gun Fire.mp3", "shotgun_fire.mp3", "health.mp3", "dash.mp3", "Impact.mp3",
                             "pickUp.wav", "basicShot.wav", "planeDeath.wav", "menuSelect.wav", "upDown.wav"}) {
        const auto path = folder / name;
        ASSERT_TRUE(std::filesystem::exists(path)) << name;
        EXPECT_NE(system.createSound(path.string(), audio::Mode::oneShot), nullptr) << name << ": " << system.error();
        if (std::string(name) != "JungleParty.mp3") {
            EXPECT_LT(std::filesystem::file_size(path), 200u * 1024u) << name;
        }
        ++files;
    }
    EXPECT_EQ(files, 14);
}
