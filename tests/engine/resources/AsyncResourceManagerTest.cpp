#include "engine/core/ParseError.h"
#include "engine/resources/AsyncResourceManager.h"
#include "engine/resources/ResourceBucket.h"
#include "engine/resources/Resourceloader.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

struct Note {
    std::string text;
    bool finished = false;
    std::thread::id loadedOn;
    std::thread::id finishedOn;
};

// Loads files as text; the worker can be held back to keep a load pending.
std::atomic<bool> holdWorker{false};
std::vector<std::string> finishOrder;
std::chrono::milliseconds finishTakes{0};

class NoteLoader : public kit::Resourceloader<Note> {
public:
    void load() override
    {
        while (holdWorker)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        target->loadedOn = std::this_thread::get_id();
        target->text = path;
    }
    void finish() override
    {
        std::this_thread::sleep_for(finishTakes);
        target->finished = true;
        target->finishedOn = std::this_thread::get_id();
        finishOrder.push_back(path);
    }
};

using NoteManager = kit::AsyncResourceManager<Note, NoteLoader>;

struct Managers : test::InTempDirectory {
    NoteManager notes{"note"};

    void SetUp() override
    {
        InTempDirectory::SetUp();
        holdWorker = false;
        finishOrder.clear();
        finishTakes = std::chrono::milliseconds(0);
    }
    // Runs frames until the handle is loaded (or a second passes).
    template <class T>
    bool finishLoading(const kit::ResourceHandle<T>& handle)
    {
        for (int frame = 0; frame < 1000 && !handle.isLoaded(); ++frame) {
            notes.update();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return handle.isLoaded();
    }
};

} // namespace

TEST_F(Managers, APathIsRequestedOnceAndLoadedOnTheWorker)
{
    holdWorker = true;
    testing::internal::CaptureStdout();
    auto first = notes.prefetch("a.txt");
    auto second = notes.prefetch("a.txt"); // returns at once, still pending
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Prefetching note: a.txt\n");
    EXPECT_EQ(first.resource, second.resource);
    EXPECT_FALSE(first.isLoaded());
    holdWorker = false;
    ASSERT_TRUE(finishLoading(first));
    EXPECT_TRUE(second.isLoaded());
    EXPECT_NE(first->loadedOn, std::this_thread::get_id());
    EXPECT_EQ(first->finishedOn, std::this_thread::get_id());
    EXPECT_EQ(first->text, "a.txt");
}

TEST_F(Managers, SpellingsAreDifferentEntries)
{
    auto plain = notes.prefetch("b.txt");
    auto dotted = notes.prefetch("./b.txt");
    EXPECT_NE(plain.resource, dotted.resource);
}

TEST_F(Managers, AColdGetLoadsHereAndLaterRequestsAreSilent)
{
    testing::internal::CaptureStdout();
    std::shared_ptr<Note> note = notes.get("c.txt");
    auto again = notes.prefetch("c.txt");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cold-loading note: c.txt\n");
    EXPECT_TRUE(note->finished);
    EXPECT_EQ(note->loadedOn, std::this_thread::get_id());
    EXPECT_TRUE(again.isLoaded());
    EXPECT_EQ(again.resource, note);
}

TEST_F(Managers, ABlockingGetOfAPendingPathRunsTheQueueUpToIt)
{
    holdWorker = true;
    auto earlier = notes.prefetch("d1.txt");
    auto wanted = notes.prefetch("d2.txt");
    holdWorker = false;
    std::shared_ptr<Note> note = notes.get("d2.txt");
    EXPECT_TRUE(note->finished);
    EXPECT_TRUE(wanted.isLoaded());
    EXPECT_TRUE(earlier.isLoaded()); // its completion came first in the queue
    EXPECT_EQ(finishOrder, (std::vector<std::string>{"d1.txt", "d2.txt"}));
}

TEST_F(Managers, AFrameBudgetSpreadsSlowCompletionsOverFrames)
{
    finishTakes = std::chrono::milliseconds(3);
    std::vector<kit::ResourceHandle<Note>> handles;
    testing::internal::CaptureStdout();
    for (const char* path : {"s1.txt", "s2.txt", "s3.txt"})
        handles.push_back(notes.prefetch(path));
    testing::internal::GetCapturedStdout();
    while (notes.queuedCompletions() < 3)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    std::vector<std::size_t> finishedPerFrame;
    for (int frame = 0; frame < 10 && finishOrder.size() < 3; ++frame) {
        const std::size_t before = finishOrder.size();
        kit::AsyncResourceManagerBase::updateAll(std::chrono::milliseconds(4));
        finishedPerFrame.push_back(finishOrder.size() - before);
    }
    // Once a 3 ms job has been seen, a second one no longer fits a 4 ms budget.
    EXPECT_EQ(finishedPerFrame, (std::vector<std::size_t>{1, 1, 1}));
    for (const auto& handle : handles)
        EXPECT_TRUE(handle.isLoaded());
}

TEST_F(Managers, RegistriesFindManagersByName)
{
    EXPECT_EQ(kit::AsyncResourceManagerBase::find("note"), &notes);
    EXPECT_EQ(kit::AsyncResourceManagerBase::find("sound"), nullptr);
    EXPECT_NE(kit::AsyncResourceManagerBase::find("texture"), nullptr);
}

TEST_F(Managers, BucketsRequestKnownTypesAndCountWhatIsLoaded)
{
    std::filesystem::create_directories("assets/buckets");
    write("assets/buckets/level.txt", "// the level\n[ note \"one.txt\" sound \"boom.wav\" /* two */ note two\n"
                                      "  note \"one.txt\" ]");
    testing::internal::CaptureStdout();
    kit::ResourceBucket bucket = kit::loadResourceBucket("buckets/level.txt");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(bucket.size(), 3u); // "sound" has no manager
    for (int frame = 0; frame < 1000 && !bucket.isLoaded(); ++frame) {
        notes.update();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(bucket.isLoaded());
    EXPECT_EQ(bucket.countLoaded(), 3);
}

TEST_F(Managers, EmptyMissingAndUnfinishedBuckets)
{
    std::filesystem::create_directories("assets/buckets");
    write("assets/buckets/empty.txt", "  [ ]");
    write("assets/buckets/open.txt", "[ note \"x.txt\"");
    write("assets/buckets/bad.txt", "note \"x.txt\" ]");
    EXPECT_TRUE(kit::loadResourceBucket("buckets/empty.txt").isLoaded());
    EXPECT_EQ(kit::loadResourceBucket("buckets/empty.txt").size(), 0u);

    testing::internal::CaptureStderr();
    kit::ResourceBucket missing = kit::loadResourceBucket("buckets/none.txt");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Could not load resource bucket: buckets/none.txt\n");
    EXPECT_TRUE(missing.isLoaded());
    EXPECT_EQ(missing.size(), 0u);

    testing::internal::CaptureStdout();
    EXPECT_EQ(kit::loadResourceBucket("buckets/open.txt").size(), 1u); // ended by the end of the file
    testing::internal::GetCapturedStdout();
    EXPECT_THROW(kit::loadResourceBucket("buckets/bad.txt"), kit::ParseError);
}

TEST(ThreadPools, RunQueuedJobsBeforeStoppingAndRefuseNewOnes)
{
    kit::ThreadPool pool(1);
    std::atomic<int> ran{0};
    for (int i = 0; i < 20; ++i)
        pool.enqueue([&ran] {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
            ++ran;
        });
    pool.shutdown();
    EXPECT_EQ(ran, 20);
    pool.shutdown(); // a second call does nothing
    try {
        pool.enqueue([] {});
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "enqueue on stopped ThreadPool");
    }
}

TEST(ThreadPoolsDeathTest, APrefetchAfterShutdownRaises)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            NoteManager late("late");
            kit::threadPool().shutdown();
            try {
                late.prefetch("z.txt");
            } catch (const std::runtime_error& error) {
                std::exit(std::string(error.what()) == "enqueue on stopped ThreadPool" ? 0 : 2);
            }
            std::exit(1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(Directories, AreThePrefixUpToTheLastSlash)
{
    EXPECT_EQ(kit::directoryOf("models/plane/plane.obj"), "models/plane/");
    EXPECT_EQ(kit::directoryOf("a\\b.png"), "a\\");
    EXPECT_EQ(kit::directoryOf("plain.png"), "");
}

TEST_F(Managers, ANameThatLeavesTheAssetsIsNeverRead)
{
    testing::internal::CaptureStderr();
    auto climbed = notes.prefetch("models/../../secret.txt");
    const auto absolute = notes.get("/etc/passwd");
    auto backslash = notes.prefetch("models\\..\\x.txt");
    auto withNul = notes.prefetch(std::string("a.txt\0../../b", 13));
    const std::string errors = testing::internal::GetCapturedStderr();
    // Each ends as a failed load would: finished, with nothing read.
    for (auto* handle : {&climbed, &backslash, &withNul}) {
        ASSERT_TRUE(finishLoading(*handle));
        EXPECT_TRUE(handle->resource->text.empty());
        EXPECT_TRUE(handle->resource->finished);
    }
    EXPECT_TRUE(absolute->text.empty());
    EXPECT_TRUE(absolute->finished);
    EXPECT_NE(errors.find("Refused to load a resource outside the asset directory: \"models/../../secret.txt\"\n"),
              std::string::npos)
        << errors;
    EXPECT_NE(errors.find("\"a.txt?../../b\""), std::string::npos) << errors; // the NUL shown, not written
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 4);
    // A name that climbs but stays inside is read as usual.
    auto inside = notes.prefetch("models/a/../b.txt");
    ASSERT_TRUE(finishLoading(inside));
    EXPECT_EQ(inside.resource->text, "models/a/../b.txt");
}

TEST_F(Managers, ABucketOutsideTheAssetsIsNotOpened)
{
    testing::internal::CaptureStderr();
    const kit::ResourceBucket bucket = kit::loadResourceBucket("../outside.txt");
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(bucket.size(), 0u);
    EXPECT_EQ(errors, "Refused to load a resource outside the asset directory: \"../outside.txt\"\n");
}
