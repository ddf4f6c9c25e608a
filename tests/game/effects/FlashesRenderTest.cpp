// Flashes as the screen shows them: a shielded plane and bombs going off,
// drawn at 60 frames a second through the game's programs under the virtual
// display, the brightness where they are measured in every frame. A flash is
// a pair of opposing changes of that brightness (a rise then a fall, or a
// fall then a rise), each by a tenth of the full range or more. With calmer
// flashes no second holds more than three; without them it does.
#include "game/common/GameMath.h"
#include "game/effects/EffectSettings.h"
#include "game/effects/Particles.h"
#include "game/looks/GameLights.h"
#include "game/looks/MatchModel.h"
#include "game/looks/ModelLook.h"
#include "game/powerups/InvincibilityPower.h"
#include "game/weapons/Bomb.h"

#include "engine/core/Settings.h"
#include "engine/render/Model.h"
#include "engine/resources/AsyncResourceManagerBase.h"
#include "engine/resources/ResourceManagers.h"
#include "support/RenderScene.h"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <thread>

using namespace skyscuffle;

namespace {

constexpr int viewWidth = 320, viewHeight = 240;
constexpr float frameSeconds = 1.0f / 60.0f;
// A change of a tenth of the full range of relative luminance makes half a flash.
constexpr float flashStep = 0.1f;

// Relative luminance of an sRGB pixel, 0 (black) to 1 (white).
float luminance(const unsigned char* rgb)
{
    static const std::array<float, 256> linear = [] {
        std::array<float, 256> table{};
        for (std::size_t i = 0; i < table.size(); ++i) {
            const float c = static_cast<float>(i) / 255.0f;
            table[i] = c <= 0.03928f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
        }
        return table;
    }();
    return 0.2126f * linear[rgb[0]] + 0.7152f * linear[rgb[1]] + 0.0722f * linear[rgb[2]];
}

// The most flashes that end within any one second of a brightness sampled
// every frame. A change counts once the brightness has moved a flash step
// from the last turning point; each change that undoes the one before it
// ends a flash.
int mostFlashesInASecond(const std::vector<float>& brightness)
{
    std::vector<int> flashEnds;
    int direction = 0; // +1 rising, -1 falling, 0 not yet either
    float low = brightness.front(), high = brightness.front();
    for (int i = 0; i < static_cast<int>(brightness.size()); ++i) {
        const float b = brightness[static_cast<std::size_t>(i)];
        low = std::min(low, b);
        high = std::max(high, b);
        if (direction <= 0 && b - low >= flashStep) {
            if (direction < 0)
                flashEnds.push_back(i);
            direction = 1;
            high = b;
        } else if (direction >= 0 && high - b >= flashStep) {
            if (direction > 0)
                flashEnds.push_back(i);
            direction = -1;
            low = b;
        }
    }
    int most = 0;
    for (std::size_t first = 0; first < flashEnds.size(); ++first) {
        const auto within = std::count_if(flashEnds.begin() + static_cast<std::ptrdiff_t>(first), flashEnds.end(),
                                          [&](int end) { return end < flashEnds[first] + 60; });
        most = std::max(most, static_cast<int>(within));
    }
    return most;
}

// The largest rise of brightness from one frame to the next.
float largestJump(const std::vector<float>& brightness)
{
    float jump = 0.0f;
    for (std::size_t i = 1; i < brightness.size(); ++i)
        jump = std::max(jump, brightness[i] - brightness[i - 1]);
    return jump;
}

class EffectFlashes : public test::RenderScene {
protected:
    EffectFlashes() : test::RenderScene(viewWidth, viewHeight) {}

    void SetUp() override
    {
        test::RenderScene::SetUp();
        if (HasFatalFailure())
            return;
        const std::filesystem::path source = std::filesystem::path(SKYSCUFFLE_SOURCE_DIR) / "assets";
        std::filesystem::copy(source / "images", "assets/images", std::filesystem::copy_options::recursive);
        std::filesystem::copy(source / "models/playerPlane", "assets/models/playerPlane",
                              std::filesystem::copy_options::recursive);
        // A night sky, where a flash shows most, lit as the match is.
        glClearColor(0.03f, 0.04f, 0.10f, 1.0f);
        world->emplaceComponent<kit::Renderer>(world->createEntity(), std::vector<kit::TagId>{kit::tagId("gameSpace")},
                                               gameLights(), false, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, 0.0f);
    }
    // The game's camera, this far in front of the play plane.
    void lookFrom(float distance)
    {
        const kit::EntityHandle camera = entity(glm::vec3(0, 0, distance), {"gameSpace"});
        world->addComponent(camera, new kit::Camera(glm::perspective(
                                        1.2217305f, static_cast<float>(viewWidth) / viewHeight, 0.1f, 1000.0f)));
    }
    void TearDown() override
    {
        kit::settings::clearForRun(effectSettings::calmerFlashes.key());
        test::RenderScene::TearDown();
    }

    void calmer(bool on) { kit::settings::setForRun(effectSettings::calmerFlashes.key(), on ? "1" : "0"); }

    // Loads what the scene asked for and lets the models' looks dress them.
    void loadEverything()
    {
        for (int i = 0; i < 300; ++i) {
            kit::AsyncResourceManagerBase::updateAll();
            world->update(0.0f);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    // A red plane flying right at the middle of the view, with its propeller and guns.
    kit::EntityHandle plane()
    {
        const kit::EntityHandle p = entity(glm::vec3(0.0f), {"gameSpace"});
        world->getComponent<kit::Transform>(p.id)->rotation =
            shortestArc(glm::vec3(0, 0, 1), glm::vec3(1, 0, 0)) * glm::angleAxis(0.3f, glm::vec3(0, 0, 1));
        world->addComponent(p, matchModel("models/playerPlane/playerPlane.obj"));
        world->addComponent(p, new ModelLook(LookSpec{"shaders/planeShader.txt",
                                                      "models/playerPlane/playerNormal.png",
                                                      "models/playerPlane/player_texture_red.png",
                                                      {{"saturation", 0.25f}}}));
        for (const char* part : {"models/playerPlane/propellor.obj", "models/playerPlane/basicGuns.obj"}) {
            const kit::EntityHandle e = world->createEntity();
            world->addComponent(e, new kit::Label("gameSpace"));
            world->addComponent(e, new kit::Transform(p, glm::vec3(0.0f)));
            world->addComponent(e, matchModel(part));
            world->addComponent(e, new ModelLook(LookSpec{"shaders/tanSpaceNormalMapping.txt", "", "", {}}));
        }
        return p;
    }

    // One frame of the world's time, drawn, and read back (rows bottom first).
    const std::vector<unsigned char>& step()
    {
        kit::AsyncResourceManagerBase::updateAll();
        world->update(frameSeconds);
        world->render(frameSeconds);
        glFinish();
        pixels_.resize(static_cast<std::size_t>(viewWidth * viewHeight * 4));
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, viewWidth, viewHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
        return pixels_;
    }
    // The mean relative luminance over the pixels of a region.
    static float brightness(const std::vector<unsigned char>& rgba, const std::vector<std::size_t>& region)
    {
        float sum = 0.0f;
        for (std::size_t at : region)
            sum += luminance(&rgba[at * 4]);
        return region.empty() ? 0.0f : sum / static_cast<float>(region.size());
    }
    // The pixels of a frame that differ from the sky's.
    std::vector<std::size_t> drawnOver(const std::vector<unsigned char>& rgba) const
    {
        std::vector<std::size_t> drawn;
        for (std::size_t i = 0; i < static_cast<std::size_t>(viewWidth * viewHeight); ++i) {
            const int d = std::abs(rgba[i * 4] - sky_[0]) + std::abs(rgba[i * 4 + 1] - sky_[1]) +
                          std::abs(rgba[i * 4 + 2] - sky_[2]);
            if (d > 24)
                drawn.push_back(i);
        }
        return drawn;
    }
    // A bomb going off at the middle of the view, 10 units its blast's reach.
    void explode()
    {
        auto* bomb = new Bomb(10.0f, 0.0f, 20.0f, kit::EntityHandle{});
        world->addComponent(entity(glm::vec3(0.0f), {"gameSpace"}), bomb);
        bomb->explode();
    }
    void rememberTheSky() { std::copy_n(step().begin(), 3, sky_.begin()); }
    void save(const std::string& name)
    {
        savePicture((std::filesystem::temp_directory_path() / ("skyscuffle-flashes-" + name + ".png")).string());
    }

    std::vector<unsigned char> pixels_;
    std::array<int, 3> sky_{};
};

} // namespace

TEST_F(EffectFlashes, AShieldBlinksMoreThanThreeTimesASecondUnlessFlashesAreCalmerThenThePlaneGlowsInView)
{
    lookFrom(9.0f); // close: the plane fills a good part of the view
    const kit::EntityHandle shielded = plane();
    loadEverything();
    rememberTheSky();
    const std::vector<std::size_t> region = drawnOver(step());
    ASSERT_GT(region.size(), 300u) << "the plane is drawn, large enough to measure";
    save("plane");

    for (const bool calm : {false, true}) {
        calmer(calm);
        world->addComponent(shielded, new InvincibilityPower);
        std::vector<float> seen;
        std::size_t fewestShown = region.size();
        for (int i = 0; i < 150; ++i) { // the shield's 2 s and a little after
            const auto& rgba = step();
            seen.push_back(brightness(rgba, region));
            fewestShown = std::min(fewestShown, drawnOver(rgba).size());
            if (i == 40)
                save(std::string(calm ? "calm" : "blink") + "-shield-" + std::to_string(i));
        }
        ASSERT_EQ(world->getComponent<InvincibilityPower>(shielded.id), nullptr) << "the shield is over";
        const int flashes = mostFlashesInASecond(seen);
        if (calm) {
            EXPECT_LE(flashes, 3);
            EXPECT_LT(largestJump(seen), flashStep) << "no sudden change from one frame to the next";
            EXPECT_GT(fewestShown, region.size() * 9 / 10) << "the plane is never hidden";
            const auto [dimmest, brightest] = std::minmax_element(seen.begin(), seen.end());
            EXPECT_GT(*brightest - *dimmest, 0.05f) << "and the shield shows: the plane glows";
        } else {
            EXPECT_GT(flashes, 3) << "today's blink: hidden and shown every quarter second";
            EXPECT_LT(fewestShown, region.size() / 10) << "the plane is hidden";
        }
    }
}

TEST_F(EffectFlashes, BombsInQuickSuccessionFlashMoreThanThreeTimesASecondUnlessFlashesAreCalmer)
{
    for (const char* texture : {"images/explosionSub.png", "images/fireParticle.png"})
        particleMaterial(texture);
    kit::objManager().prefetch("models/quad.obj");
    lookFrom(25.0f); // as close as the match's camera comes: a blast at its largest
    loadEverything();
    rememberTheSky();
    // Where a blast's light falls (the first frame of one), then the sky clear again.
    explode();
    const std::vector<std::size_t> region = drawnOver(step());
    ASSERT_GT(region.size(), 2000u);
    for (int i = 0; i < 120; ++i)
        step();

    for (const bool calm : {false, true}) {
        calmer(calm);
        std::vector<float> seen{brightness(step(), region)}; // the sky before
        for (int i = 0; i < 130; ++i) {
            if (i % 15 == 0 && i < 75) // a bomb every quarter second, five of them
                explode();
            seen.push_back(brightness(step(), region));
            if (i == 8)
                save(std::string(calm ? "calm" : "bright") + "-bombs-" + std::to_string(i));
        }
        const int flashes = mostFlashesInASecond(seen);
        if (calm) {
            EXPECT_LE(flashes, 3);
            EXPECT_LT(largestJump(seen), flashStep) << "the blasts swell instead of popping";
            EXPECT_GT(*std::max_element(seen.begin(), seen.end()), seen.back() + flashStep)
                << "and still light the sky";
        } else {
            EXPECT_GT(flashes, 3) << "today's blasts pop to full brightness";
            EXPECT_GT(largestJump(seen), 2.0f * flashStep);
        }
    }
}
