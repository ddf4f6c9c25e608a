// Every screen that the flow test cannot reach yet (the win screen), and the
// others in states that need a second copy (a remote player, a listed
// server), drawn at 800 x 600 and 1280 x 720 with the game's art and saved as
// PNG files in the build directory ("screen-pictures/") to be looked at.
// Each picture must show something: many colours, no OpenGL error.
#include "ScreenFixture.h"

#include "game/match/MatchFunctions.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerInfo.h"
#include "game/screens/CreditsScreen.h"
#include "game/screens/JoinScreen.h"
#include "game/screens/MainMenu.h"
#include "game/screens/NetworkScreen.h"
#include "game/screens/WinScreen.h"

#include "engine/network/HostMigration.h"

#include <GL/glew.h>
#include <lodepng.h>

#include <set>

using namespace skyscuffle;

#ifndef SKYSCUFFLE_BINARY_DIR
#error "SKYSCUFFLE_BINARY_DIR must name the build directory"
#endif

namespace {

struct Size {
    int width;
    int height;
};

void PrintTo(const Size& size, std::ostream* out)
{
    *out << size.width << "x" << size.height;
}

class ScreenPictures : public test::Screens, public ::testing::WithParamInterface<Size> {
protected:
    ScreenPictures() : Screens(GetParam().width, GetParam().height) {}

    void SetUp() override
    {
        Screens::SetUp();
        glViewport(0, 0, GetParam().width, GetParam().height);
        start(createJoinScreen);
        frame();
    }
    void show(kit::World::SetupFunction setup)
    {
        app->setWorld(std::make_shared<kit::World>(std::move(setup)));
        frames(20); // the switch, and the completion of anything loaded on the side
    }
    // Draws the current screen once more and saves it; checks it shows something.
    void picture(const std::string& name)
    {
        world()->render(0.0f);
        glFinish();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << name;
        const auto [width, height] = GetParam();
        std::vector<unsigned char> rgba(static_cast<std::size_t>(width * height * 4));
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<unsigned char> rows(rgba.size());
        const std::size_t row = static_cast<std::size_t>(width) * 4;
        std::set<unsigned> colours;
        for (int y = 0; y < height; ++y) {
            std::copy_n(&rgba[static_cast<std::size_t>(y) * row], row,
                        &rows[static_cast<std::size_t>(height - 1 - y) * row]);
            for (int x = 0; x < width; x += 7) {
                const unsigned char* p = &rgba[static_cast<std::size_t>(y) * row + static_cast<std::size_t>(x) * 4];
                colours.insert(unsigned(p[0]) << 16 | unsigned(p[1]) << 8 | p[2]);
            }
        }
        EXPECT_GT(colours.size(), 200u) << name << " looks empty";
        const std::filesystem::path folder = std::filesystem::path(SKYSCUFFLE_BINARY_DIR) / "screen-pictures";
        std::filesystem::create_directories(folder);
        const std::string file =
            (folder / (name + "-" + std::to_string(width) + "x" + std::to_string(height) + ".png")).string();
        EXPECT_EQ(lodepng::encode(file, rows, static_cast<unsigned>(width), static_cast<unsigned>(height)), 0u);
    }
};

TEST_P(ScreenPictures, JoinAndWinScreens)
{
    // Three players of this copy and one of another.
    tap(kit::keys::x);
    tap(kit::keys::v);
    tap(kit::keys::v);
    const kit::EntityID remote{world()->origin + 1, 5};
    network->callFunction(fn::spawnPersistantPlayer, remote, playerColours()[3], 4);
    frames(20);
    picture("join-screen");

    ScoreTable scores;
    int points = 9;
    for (const auto& player : world()->getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        scores.push_back({player.id, points});
        points -= 4;
    }
    std::swap(scores[0], scores[1]); // the table orders them
    show(WinScreenInit{scores});
    picture("win-screen");
}

TEST_P(ScreenPictures, JoinScreenAfterItsHostWent)
{
    // Another copy in this process hosts; this one joins it, then the host leaves.
    kit::World other;
    other.origin = world()->origin + 1;
    auto* host = new kit::NetworkSystem(30.0f);
    other.addComponent(kit::EntityHandle{other.systemEntity(), &other}, host);
    host->host(0, 4);
    network->join("127.0.0.1", host->peer->boundPort());
    tap(kit::keys::x);
    for (int i = 0; i < 3000 && !network->migration().roster(); ++i) {
        frame();
        other.update(1.0f / 60.0f);
    }
    ASSERT_TRUE(network->migration().roster().has_value());
    host->reset();
    for (int i = 0; i < 3000 && !network->isServer(); ++i)
        frame();
    frames(5);
    picture("join-screen-host-gone");
}

TEST_P(ScreenPictures, MainMenuAndNetworkScreen)
{
    show(createMainMenu);
    picture("main-menu");

    discovery->servers[kit::NetAddress{0xC0A80117, 16520}] = {kit::NetAddress{0xC0A80117, 16520}, true};
    discovery->servers[kit::NetAddress{0xC0A8010C, 16521}] = {kit::NetAddress{0xC0A8010C, 16521}, true};
    // The widest line it may have: a long address and a long match.
    discovery->servers[kit::NetAddress{0xC0A8FAFE, 16521}] = {kit::NetAddress{0xC0A8FAFE, 16521}, false,
                                                              kit::Announcement::RunningMatch{599, 12}};
    show(createNetworkScreen);
    tap(kit::keys::down);
    tap(kit::keys::down);
    picture("network-screen");
}

TEST_P(ScreenPictures, CreditsPagesOneToThree)
{
    for (int page = 0; page < 3; ++page) {
        show(CreditsScreenInit{page});
        picture("credits-" + std::to_string(page + 1));
    }
}

TEST_P(ScreenPictures, CreditsPagesFourToSix)
{
    for (int page = 3; page < CreditsScreenInit::pageCount; ++page) {
        show(CreditsScreenInit{page});
        picture("credits-" + std::to_string(page + 1));
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScreenPictures, ::testing::Values(Size{800, 600}, Size{1280, 720}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

} // namespace
