// A clip is asked of a second run of the game, into the player's clips
// folder: with no home for that folder, no run is started and one line says so.
#include "game/replays/ClipRequest.h"
#include "support/NoHome.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

namespace {

class ClipRequests : public test::InTempDirectory {};

} // namespace

TEST_F(ClipRequests, WithoutAHomeNoClipIsAskedForAndOneLineSaysSo)
{
    test::NoHome bare;
    // Were there a folder, the game would be started (this test program, here).
    ASSERT_TRUE(skyscuffle::clipDirectory().empty());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(skyscuffle::requestClip("match.replay", 0.0f, 10.0f));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "No clip: there is no home directory (neither HOME nor XDG_DATA_HOME is set)\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1) << "assets/ alone";
}
