// Where a run finds its translations: beside the build's program first, then
// beside the installed data; a folder counts only with a catalog of the game.
#include "game/startup/CatalogFolder.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

using namespace skyscuffle;

namespace fs = std::filesystem;

namespace {

class CatalogSearch : public test::InTempDirectory {
protected:
    static void catalog(const fs::path& folder, const char* language)
    {
        fs::create_directories(folder / language / "LC_MESSAGES");
        write((folder / language / "LC_MESSAGES" / "skyscuffle.mo").string(), "");
    }
    static DataDirectory installed(const fs::path& share)
    {
        DataDirectory data;
        data.directory = share / "skyscuffle";
        return data;
    }
};

TEST_F(CatalogSearch, TheBuildsFolderBeforeTheInstalledOneAndNeitherWithoutACatalog)
{
    const fs::path root = fs::current_path();
    const fs::path program = root / "build" / "game" / "skyscuffle";
    const DataDirectory data = installed(root / "usr" / "share");
    EXPECT_TRUE(findCatalogFolder(data, program).empty()) << "no catalog anywhere: English only";

    fs::create_directories(root / "build" / "locale" / "de" / "LC_MESSAGES");
    write((root / "build" / "locale" / "de" / "LC_MESSAGES" / "other.mo").string(), "");
    catalog(root / "usr" / "share" / "locale", "pt_BR");
    EXPECT_EQ(findCatalogFolder(data, program), root / "usr" / "share" / "locale")
        << "another program's catalog does not count; the installed one is found";

    catalog(root / "build" / "locale", "fr");
    EXPECT_EQ(findCatalogFolder(data, program), root / "build" / "locale") << "the build's own first";
    EXPECT_EQ(findCatalogFolder(DataDirectory{}, program), root / "build" / "locale");
    EXPECT_EQ(findCatalogFolder(data, {}), root / "usr" / "share" / "locale") << "no program known";
}

} // namespace
