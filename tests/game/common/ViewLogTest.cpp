// The measuring record of what a copy shows: one line per event, as the
// comparing tool reads them.
#include "game/common/ViewLog.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace skyscuffle;

namespace {

std::vector<std::string> linesOf(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

using ViewLogFile = test::InTempDirectory;

TEST_F(ViewLogFile, WritesTheCopyThenOneLinePerEventWithTheWallTime)
{
    const std::string path = "copy.view";
    ASSERT_TRUE(viewLog::open(path, 0xABCD0012));
    EXPECT_TRUE(viewLog::active());
    viewLog::plane(kit::EntityID{0xABCD0012, 3}, glm::vec3(1.5f, -2.25f, 9.0f));
    viewLog::seen(kit::EntityID{0xABCD0012, 40}, kit::EntityID{0x00000007, 1});
    viewLog::counted(kit::EntityID{0x00000007, 41}, kit::EntityID{0xABCD0012, 3});
    viewLog::close();
    EXPECT_FALSE(viewLog::active());
    viewLog::plane(kit::EntityID{1, 1}, glm::vec3(0.0f)); // closed: nowhere

    const std::vector<std::string> lines = linesOf(path);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "copy abcd0012");
    std::istringstream plane(lines[1]);
    std::string kind, id;
    double wall = 0.0, x = 0.0, y = 0.0;
    plane >> kind >> wall >> id >> x >> y;
    EXPECT_EQ(kind, "p");
    EXPECT_GT(wall, 1.7e9); // seconds of the system clock
    EXPECT_EQ(id, "abcd0012:3");
    EXPECT_DOUBLE_EQ(x, 1.5);
    EXPECT_DOUBLE_EQ(y, -2.25);
    EXPECT_EQ(lines[2].substr(0, 5), "seen ");
    EXPECT_NE(lines[2].find(" abcd0012:40 00000007:1"), std::string::npos) << lines[2];
    EXPECT_EQ(lines[3].substr(0, 8), "counted ");
    EXPECT_NE(lines[3].find(" 00000007:41 abcd0012:3"), std::string::npos) << lines[3];
}

TEST_F(ViewLogFile, AFileThatCannotBeWrittenLogsNothingAndSaysSo)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(viewLog::open("/nonexistent-directory/copy.view", 1));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(viewLog::active());
    EXPECT_EQ(err, "The view log /nonexistent-directory/copy.view cannot be written; nothing is logged\n");
}

} // namespace
