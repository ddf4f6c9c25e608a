// The loading screen over buckets of the test's own: the percentage grows
// with the loads that the main thread finishes, keys count only once
// everything is loaded, the delay moves on by itself, and a bucket that
// cannot be read counts as loaded at once.
#include "ScreenFixture.h"

#include "game/looks/LookSettings.h"
#include "game/screens/LoadingScreen.h"
#include "game/widgets/Overlay.h"

#include "engine/core/Settings.h"
#include "engine/core/Translation.h"

#include "engine/render/Text.h"
#include "engine/resources/AsyncResourceManagerBase.h"
#include "support/Edges.h"

#include <chrono>
#include <fstream>
#include <thread>

using namespace skyscuffle;

namespace {

namespace fs = std::filesystem;

class LoadingScreen : public test::Screens {
protected:
    // The player's text size in percent, while it lives.
    struct TextSize {
        explicit TextSize(int percent) { kit::settings::set(lookSettings::textSize.key(), std::to_string(percent)); }
        ~TextSize()
        {
            kit::settings::set(lookSettings::textSize.key(), std::to_string(lookSettings::textSize.fallback()));
        }
    };
    // Runs from a temporary directory whose assets are the game's shaders,
    // font and sprites and a bucket of `count` textures of its own.
    void SetUp() override
    {
        Screens::SetUp();
        std::string pattern = (fs::temp_directory_path() / "skyscuffle-loading-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        const fs::path source = fs::path(SKYSCUFFLE_SOURCE_DIR) / "assets";
        fs::create_directories(root_ / "assets/buckets");
        fs::create_directories(root_ / "assets/textures");
        for (const char* folder : {"shaders", "fonts", "sprites"})
            fs::create_directory_symlink(source / folder, root_ / "assets" / folder);
        fs::current_path(root_);
        err_ = std::cerr.rdbuf(errors.rdbuf());
    }
    void TearDown() override
    {
        std::cerr.rdbuf(err_);
        Screens::TearDown();
        fs::remove_all(root_);
    }

    // A bucket of `count` distinct textures, named after the test.
    std::string bucket(int count)
    {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::ofstream file("assets/buckets/" + name + ".txt");
        file << "[\n";
        for (int i = 0; i < count; ++i) {
            const std::string texture = "textures/" + name + std::to_string(i) + ".png";
            fs::copy_file(fs::path(SKYSCUFFLE_SOURCE_DIR) / "assets/sprites/menu/Cursor.png", "assets/" + texture);
            file << "    texture \"" << texture << "\"\n";
        }
        file << "]\n";
        return "buckets/" + name + ".txt";
    }

    void open(const std::string& path)
    {
        start(LoadingScreenInitializer{path, [this](kit::World*) { nextShown = true; }});
    }
    // The screen's update pass alone: no load is finished meanwhile.
    void update(float dt) { world()->update(dt); }
    // Finishes one load that the worker has read, waiting for it if need be.
    void finishOneLoad()
    {
        for (int tries = 0; tries < 2000; ++tries) {
            bool ranOne = false;
            for (const char* manager : {"texture"}) {
                if (auto* m = kit::AsyncResourceManagerBase::find(manager))
                    m->updateUntil(std::chrono::steady_clock::now(), ranOne);
            }
            if (ranOne)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        FAIL() << "no load finished within two seconds";
    }
    std::string percent()
    {
        for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Text>()))
            return static_cast<kit::Text*>(c)->text();
        return {};
    }
    // The words' own text (not their outline's), the last made.
    kit::Text* words()
    {
        kit::Text* last = nullptr;
        for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Text>()))
            last = static_cast<kit::Text*>(c);
        return last;
    }
    std::vector<std::string> progressLines() const
    {
        std::vector<std::string> found;
        std::istringstream lines(log.str());
        for (std::string l; std::getline(lines, l);)
            if (l.rfind("Loading at ", 0) == 0)
                found.push_back(l);
        return found;
    }

    bool nextShown = false;
    std::stringstream errors;

private:
    fs::path root_;
    std::streambuf* err_ = nullptr;
};

TEST(LoadingPercent, RightAlignedInThreeCharacters)
{
    EXPECT_EQ(loadingPercent(0.0f), "  0%");
    EXPECT_EQ(loadingPercent(0.42f), " 42%");
    EXPECT_EQ(loadingPercent(0.05f), "  5%");
    EXPECT_EQ(loadingPercent(1.0f), "100%");
}

TEST_F(LoadingScreen, ProgressIsPrintedOnlyWhenItGrowsAndKeysWaitForTheEnd)
{
    open(bucket(4));
    EXPECT_EQ(percent(), "  0%");
    for (int i = 0; i < 5; ++i)
        update(0.01f);
    EXPECT_TRUE(progressLines().empty()) << "a stalled load prints nothing";
    press(kit::keys::space);
    EXPECT_EQ(app->pending, nullptr) << "keys before the end do nothing";

    while (progressLines().empty() || progressLines().back() != "Loading at 100%") {
        finishOneLoad();
        update(0.0f);
        update(0.0f); // nothing new: nothing printed
        ASSERT_LE(progressLines().size(), 4u);
    }
    const auto lines = progressLines();
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_LT(std::stoi(lines[i - 1].substr(11)), std::stoi(lines[i].substr(11))) << lines[i];
    EXPECT_EQ(percent(), "Press\nAnything");
    update(0.0f);
    EXPECT_EQ(progressLines().size(), lines.size());
    EXPECT_EQ(app->pending, nullptr);

    press(kit::keys::space);
    EXPECT_NE(app->pending, nullptr);
    frame();
    EXPECT_TRUE(nextShown);
}

// The percentage is twice as large at 200 %; the words after it grow as far
// as the backdrop's box holds them, and both stay in the box.
TEST_F(LoadingScreen, AtTwiceTheTextSizeThePercentIsTwiceAsLargeAndTheWordsGrowInTheirBox)
{
    const TextSize large(200);
    open(bucket(1));
    // The box of the backdrop's picture in a 4:3 window.
    const auto inBox = [](const kit::Text& text) {
        const kit::TextBounds b =
            kit::textBounds(text.text(), text.glyphSize, text.origin, widgets::glyphAdvance(text.glyphSize));
        return b.left >= -0.825f && b.right <= 0.138f && b.bottom >= -0.849f && b.top <= -0.354f;
    };
    EXPECT_FLOAT_EQ(words()->glyphSize, 0.32f);
    EXPECT_TRUE(inBox(*words())) << words()->origin.x << ", " << words()->origin.y;
    finishOneLoad();
    update(0.0f);
    ASSERT_EQ(percent(), "Press\nAnything");
    EXPECT_GT(words()->glyphSize, 0.19f) << "larger than at 100 % (0.16)";
    EXPECT_TRUE(inBox(*words())) << words()->origin.x << ", " << words()->origin.y;
    // Its outline grows with it, still round it.
    for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Text>())) {
        const auto* part = static_cast<kit::Text*>(c);
        EXPECT_FLOAT_EQ(part->glyphSize, words()->glyphSize);
        EXPECT_LT(glm::length(part->origin - words()->origin), 0.03f);
    }
}

// At the first size the words stand where they always have.
TEST_F(LoadingScreen, AtTheFirstSizeTheWordsKeepTheirPlace)
{
    open(bucket(1));
    // (Within the outline's shift: the words may be one of its copies.)
    EXPECT_FLOAT_EQ(words()->glyphSize, 0.16f);
    EXPECT_NEAR(words()->origin.x, -0.8f, 0.01f);
    EXPECT_NEAR(words()->origin.y, -0.6f, 0.01f) << "the percentage's one line where it was";
    finishOneLoad();
    update(0.0f);
    ASSERT_EQ(percent(), "Press\nAnything");
    EXPECT_NEAR(words()->origin.y, -0.6f, 0.01f);
}

// Words too long for the box to grow in keep their first size, never less.
TEST_F(LoadingScreen, AtTwiceTheSizeWordsTooLongForTheBoxKeepTheirFirstSize)
{
    kit::setLanguage("pseudo");
    const TextSize large(200);
    open(bucket(1));
    finishOneLoad();
    update(0.0f);
    EXPECT_FLOAT_EQ(words()->glyphSize, 0.16f) << percent();
    kit::setLanguage("en");
}

TEST_F(LoadingScreen, AJoystickButtonMovesOnOnceLoaded)
{
    plugPad(2);
    open(bucket(1));
    finishOneLoad();
    update(0.0f);
    ASSERT_EQ(percent(), "Press\nAnything");
    pressButton(2, 3);
    EXPECT_TRUE(nextShown);
}

TEST_F(LoadingScreen, WithoutInputItMovesOnAfterTheDelay)
{
    open(bucket(1));
    finishOneLoad();
    update(0.0f);
    for (int second = 1; second < 5; ++second) {
        update(1.0f);
        EXPECT_EQ(app->pending, nullptr) << "after " << second << " s";
    }
    update(1.0f);
    EXPECT_NE(app->pending, nullptr);
}

TEST_F(LoadingScreen, AFloatShortOfTheDelayItWaitsAndOnTheDelayItMovesOn)
{
    open("buckets/missing.txt"); // loaded at once: only the delay holds it
    update(test::justShort(5.0f));
    EXPECT_EQ(app->pending, nullptr);
    update(1e-6f);
    EXPECT_NE(app->pending, nullptr);
}

TEST_F(LoadingScreen, ADelayOfExactlyFiveSecondsIsTheEnd)
{
    open("buckets/missing.txt");
    update(5.0f);
    EXPECT_NE(app->pending, nullptr);
}

TEST_F(LoadingScreen, ALoadLongerThanTheDelayMovesOnAsSoonAsItEnds)
{
    open(bucket(2));
    for (int i = 0; i < 5; ++i)
        update(2.0f);
    EXPECT_EQ(app->pending, nullptr);
    finishOneLoad();
    update(0.0f);
    EXPECT_EQ(app->pending, nullptr);
    finishOneLoad();
    update(0.0f);
    EXPECT_NE(app->pending, nullptr) << "loaded after the delay: on the first frame it is complete";
}

TEST_F(LoadingScreen, AMissingBucketCountsAsLoadedAtOnce)
{
    open("buckets/missing.txt");
    EXPECT_NE(errors.str().find("Could not load resource bucket: buckets/missing.txt"), std::string::npos);
    update(0.0f);
    EXPECT_EQ(percent(), "Press\nAnything");
    press(kit::keys::enter);
    EXPECT_NE(app->pending, nullptr);
}

TEST_F(LoadingScreen, AMalformedBucketIsReportedAndCountsAsLoaded)
{
    std::ofstream("assets/buckets/broken.txt") << "texture \"a.png\"\n";
    open("buckets/broken.txt");
    EXPECT_NE(errors.str().find("Could not load resource bucket: buckets/broken.txt"), std::string::npos);
    update(0.0f);
    EXPECT_EQ(percent(), "Press\nAnything");
}

TEST_F(LoadingScreen, FullScreenKeysAreNotAnyKey)
{
    open("buckets/missing.txt");
    update(0.0f);
    press(kit::keys::f11);
    press(kit::keys::enter, 4 /* alt */);
    EXPECT_EQ(app->pending, nullptr);
}

} // namespace
