// Where the game finds its data: the directory given by name, the installed
// place beside the program, the working directory's assets, the source tree
// the program was built in; and nothing found, with every place looked in.
#include "game/startup/DataDirectory.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

using namespace skyscuffle;

namespace fs = std::filesystem;

namespace {

class DataSearch : public test::InTempDirectory {
protected:
    // An asset tree at `folder`.
    static fs::path data(const fs::path& folder)
    {
        fs::create_directories(folder / "buckets");
        write((folder / DataDirectory::marker).string(), "[]\n");
        return fs::weakly_canonical(folder);
    }
    // A program file at `path`.
    static fs::path program(const fs::path& path)
    {
        fs::create_directories(path.parent_path());
        write(path.string(), "");
        return path;
    }
};

} // namespace

TEST_F(DataSearch, AnInstalledProgramReadsShareBesideItsBinFromAnywhere)
{
    const fs::path installed = data(root_ / "usr/share/skyscuffle");
    data(root_ / "elsewhere/assets"); // a working directory with data of its own loses to the installed data
    const DataDirectory found = findDataDirectory("", program(root_ / "usr/bin/skyscuffle"), root_ / "elsewhere");
    EXPECT_EQ(found.directory, installed);
    EXPECT_FALSE(found.developerTree) << "nothing is ever written into installed data";
    // Debian's /usr/games works alike.
    EXPECT_EQ(findDataDirectory("", program(root_ / "usr/games/skyscuffle"), "/").directory, installed);
}

TEST_F(DataSearch, TheWorkingDirectorysAssetsAreADevelopersAsTheyAlwaysWere)
{
    data(root_ / "assets");
    const DataDirectory found = findDataDirectory("", program(root_ / "out/skyscuffle"), root_);
    EXPECT_EQ(found.directory, "assets") << "named as before, so that the console's lines stay the same";
    EXPECT_TRUE(found.developerTree);
}

TEST_F(DataSearch, AProgramBuiltInTheSourceTreeFindsItsAssetsFromAnywhere)
{
    fs::create_directories(root_ / "tree");
    write((root_ / "tree/CMakeLists.txt").string(), "project(x)\n");
    const fs::path assets = data(root_ / "tree/assets");
    const DataDirectory found =
        findDataDirectory("", program(root_ / "tree/build/release/game/skyscuffle"), root_ / "nowhere");
    EXPECT_EQ(found.directory, assets);
    EXPECT_TRUE(found.developerTree);
    // Without the project's file it is not a source tree.
    fs::remove(root_ / "tree/CMakeLists.txt");
    EXPECT_FALSE(findDataDirectory("", root_ / "tree/build/release/game/skyscuffle", root_ / "nowhere").found());
}

TEST_F(DataSearch, ADirectoryGivenByNameIsTheOnlyPlaceLookedIn)
{
    const fs::path mine = data(root_ / "mine");
    data(root_ / "assets");
    DataDirectory found = findDataDirectory("mine", program(root_ / "bin/skyscuffle"), root_);
    EXPECT_EQ(found.directory, mine) << "relative to the working directory";
    EXPECT_FALSE(found.developerTree);
    found = findDataDirectory((root_ / "empty").string(), root_ / "bin/skyscuffle", root_);
    EXPECT_FALSE(found.found()) << "the working directory's assets are not a fallback for a wrong --data";
    EXPECT_EQ(found.searched, std::vector<fs::path>{root_ / "empty"});
}

TEST_F(DataSearch, NothingFoundListsEveryPlaceLookedIn)
{
    fs::create_directories(root_ / "prefix/share/skyscuffle/buckets"); // a folder without the marker is no data
    const DataDirectory found = findDataDirectory("", program(root_ / "prefix/bin/skyscuffle"), root_ / "cwd");
    EXPECT_FALSE(found.found());
    EXPECT_FALSE(found.developerTree);
    ASSERT_EQ(found.searched.size(), 2u);
    EXPECT_EQ(found.searched[0], root_ / "prefix/share/skyscuffle");
    EXPECT_EQ(found.searched[1], root_ / "cwd/assets");
}

TEST(RunningExecutable, IsThisTestProgram)
{
    EXPECT_EQ(runningExecutable().filename(), "startup_tests");
}
