// Particles, taunts and the HUD's score drawn through the game's programs
// under the virtual display, pixels read back.
#include "game/combat/Score.h"
#include "game/combat/ScoreCounter.h"
#include "game/common/Random.h"
#include "game/effects/Bursts.h"
#include "game/effects/SmokeParticleEmitter.h"
#include "game/effects/Taunts.h"
#include "game/looks/LookSettings.h"
#include "game/match/MatchFunctions.h"

#include "engine/core/Settings.h"
#include "engine/physics/Transform.h"

#include "engine/render/Text.h"
#include "engine/resources/ResourceManagers.h"
#include "support/RenderScene.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/quaternion.hpp>

#include <algorithm>
#include <cmath>

using namespace skyscuffle;

namespace {

class Effects : public test::RenderScene {
protected:
    Effects() : test::RenderScene(200, 150) {}

    void SetUp() override
    {
        test::RenderScene::SetUp();
        if (HasFatalFailure())
            return;
        const std::filesystem::path source = std::filesystem::path(SKYSCUFFLE_SOURCE_DIR) / "assets";
        std::filesystem::copy(source / "images", "assets/images", std::filesystem::copy_options::recursive);
        // The game's view: a perspective camera 20 units in front of the play plane.
        const kit::EntityHandle camera = entity(glm::vec3(0, 0, 20), {"gameSpace"});
        world->addComponent(camera, new kit::Camera(glm::perspective(1.2217305f, 200.0f / 150.0f, 0.1f, 1000.0f)));
    }
    // Waits for the textures and programs the scene asked for.
    void loadEverything()
    {
        for (int i = 0; i < 200; ++i) {
            kit::AsyncResourceManagerBase::updateAll();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    // The pixel showing the world point (x, y) of the play plane.
    std::array<int, 4> at(float x, float y)
    {
        const glm::mat4 view = glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, -20));
        const glm::vec4 clip =
            glm::perspective(1.2217305f, 200.0f / 150.0f, 0.1f, 1000.0f) * view * glm::vec4(x, y, 0.0f, 1.0f);
        const glm::vec2 ndc = glm::vec2(clip) / clip.w;
        return pixel(static_cast<int>((ndc.x * 0.5f + 0.5f) * 200.0f),
                     static_cast<int>((ndc.y * 0.5f + 0.5f) * 150.0f));
    }
    void save(const std::string& name)
    {
        savePicture((std::filesystem::temp_directory_path() / ("skyscuffle-" + name + ".png")).string());
    }
};

} // namespace

TEST_F(Effects, AnExplosionAddsLightToWhatIsBehindIt)
{
    renderer("gameSpace", 0.0f, glm::vec3(0.0f, 0.0f, 0.6f));
    Random::seed(4);
    ASSERT_EQ(explosionBurst(*world, glm::vec3(0.0f)), 30);
    loadEverything();
    drawFrame();
    save("explosion");
    const auto middle = at(0.0f, 0.0f);
    EXPECT_GT(middle[0], 120) << "fire colour where the burst is";
    EXPECT_GE(middle[2], 150) << "the sky behind shows through: added, not painted over";
    const auto corner = pixel(2, 2);
    EXPECT_TRUE(test::near(corner, {0, 0, 153}, 3)) << "nothing far from the burst";
}

TEST_F(Effects, SmokeDarkensWhatIsBehindIt)
{
    renderer("gameSpace", 0.0f, glm::vec3(0.8f, 0.8f, 0.8f));
    // A plane flying right; its smoke drifts back to the left.
    const kit::EntityHandle plane = world->createEntity();
    world->addComponent(plane, new kit::Transform(glm::vec3(0.0f), glm::vec3(1.0f),
                                                  glm::angleAxis(glm::radians(90.0f), glm::vec3(0, 1, 0))));
    Random::seed(5);
    auto* smoke = new SmokeParticleEmitter;
    smoke->tintLevel = 0.1f;
    smoke->startOpacity = 1.0f;
    smoke->setRate(40.0f);
    world->addComponent(plane, smoke);
    for (int i = 0; i < 12; ++i)
        world->update(1.0f / 30.0f);
    loadEverything();
    drawFrame();
    save("smoke");
    // Behind the plane (to its left) the trail darkens the light background.
    int darkest = 255;
    for (float x = -3.0f; x <= 0.0f; x += 0.1f)
        for (float y = -1.0f; y <= 1.0f; y += 0.25f)
            darkest = std::min(darkest, at(x, y)[0]);
    EXPECT_LT(darkest, 150) << "dark smoke over the light background";
    EXPECT_GT(darkest, 5) << "blended, not solid black";
    EXPECT_TRUE(test::near(at(6.0f, 0.0f), {204, 204, 204}, 3)) << "ahead of the plane the sky is clear";
}

TEST_F(Effects, ATauntStaysWhereItWasSaidForThreeSeconds)
{
    renderer("gameSpace", 0.0f, glm::vec3(0.0f));
    const kit::EntityHandle plane = world->createEntity();
    world->addComponent(plane, new kit::Transform(glm::vec3(3, 4, 0)));
    spawnTaunt(plane, tauntText(2));
    auto taunts = world->getEntities(kit::typeId<kit::Text>())->toVector();
    ASSERT_EQ(taunts.size(), 1u);
    const auto* text = world->getComponent<kit::Text>(taunts[0].id);
    EXPECT_EQ(text->text(), "I AM VERY ANGRY! RAR! >:(");
    // Said in the stage, over the plane: not on the screen's overlay.
    EXPECT_TRUE(world->entityHasTag(taunts[0].id, kit::tagId("gameSpace")));
    EXPECT_FALSE(world->entityHasTag(taunts[0].id, kit::tagId("hudSpace")));
    // Centred over the plane: a line's glyphs start one advance right of the
    // origin, and the font's cells are 34 x 64.
    const float advance = text->glyphSize * 34.0f / 64.0f;
    const float left = text->origin.x + advance;
    const float right = left + static_cast<float>(text->text().size()) * advance;
    EXPECT_NEAR(left + right, 0.0f, 1e-4f);
    world->getComponent<kit::Transform>(plane.id)->position = glm::vec3(-30, 0, 0);
    world->update(1.5f);
    EXPECT_EQ(world->getComponent<kit::Transform>(taunts[0].id)->position, glm::vec3(3, 4, 0)); // not following
    loadEverything();
    drawFrame();
    save("taunt");
    world->update(1.4f);
    EXPECT_TRUE(world->entities.contains(taunts[0].id));
    world->update(0.2f);
    EXPECT_FALSE(world->entities.contains(taunts[0].id));
}

TEST_F(Effects, ATauntOfEightyPrintableCharactersIsShownForThreeSecondsToTheFloat)
{
    const kit::EntityHandle plane = world->createEntity();
    world->addComponent(plane, new kit::Transform(glm::vec3(3, 4, 0)));
    auto taunts = [&] { return world->getEntities(kit::typeId<kit::Text>())->toVector(); };
    testing::internal::CaptureStderr();
    spawnTaunt(plane, std::string(81, '~'));
    EXPECT_TRUE(taunts().empty());
    spawnTaunt(plane, " " + std::string(78, 'a') + "~"); // eighty, from the first printable character to the last
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(told, "Refused \"spawnTaunt\": a taunt too long or with characters the font has not\n");
    ASSERT_EQ(taunts().size(), 1u);
    const kit::EntityID shown = taunts()[0].id;
    world->update(3.0f);
    EXPECT_TRUE(world->entities.contains(shown));
    world->update(1e-3f);
    EXPECT_FALSE(world->entities.contains(shown));
}

TEST_F(Effects, AtTwiceTheTextSizeATauntIsTwiceAsTallInLinesThatFitAndStaysInTheView)
{
    renderer("gameSpace", 0.0f, glm::vec3(0.0f));
    kit::settings::set(lookSettings::textSize.key(), "200");
    const glm::mat4 toView = glm::perspective(1.2217305f, 200.0f / 150.0f, 0.1f, 1000.0f) *
                             glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, -20));
    // The lines of a taunt, and where the camera shows them (device units, 2 across).
    struct Seen {
        std::vector<const kit::Text*> lines;
        glm::vec2 low{1e9f}, high{-1e9f};
    };
    const auto seen = [&](kit::EntityID taunt) {
        Seen s;
        const glm::vec3 at = world->getComponent<kit::Transform>(taunt)->position;
        for (kit::Component* c : *world->componentsOf(taunt)) {
            if (const auto* line = dynamic_cast<const kit::Text*>(c)) {
                s.lines.push_back(line);
                const kit::TextBounds b =
                    kit::textBounds(line->text(), line->glyphSize, line->origin + at, line->glyphSize * 34.0f / 64.0f);
                for (const glm::vec2 corner : {glm::vec2(b.left, b.bottom), glm::vec2(b.right, b.top)}) {
                    const glm::vec4 clip = toView * glm::vec4(corner, at.z, 1.0f);
                    s.low = glm::min(s.low, glm::vec2(clip) / clip.w);
                    s.high = glm::max(s.high, glm::vec2(clip) / clip.w);
                }
            }
        }
        return s;
    };
    const auto said = [&](glm::vec3 where, const std::string& words) {
        const kit::EntityHandle plane = entity(where, {});
        spawnTaunt(plane, words);
        const auto all = world->getEntities(kit::typeId<kit::Text>())->toVector();
        const auto found = std::find_if(all.begin(), all.end(), [&](const kit::EntityHandle& e) {
            return world->getComponent<kit::Transform>(e.id)->position == where;
        });
        return found == all.end() ? kit::EntityID{} : found->id;
    };

    // Far from the camera: twice the designed size, in lines no wider than the closest view.
    const kit::EntityID far = said(glm::vec3(0, 0, -80), tauntText(1));
    drawFrame();
    const Seen farOff = seen(far);
    ASSERT_GE(farOff.lines.size(), 2u) << "broken into lines";
    for (const kit::Text* line : farOff.lines) {
        EXPECT_FLOAT_EQ(line->glyphSize, 6.0f) << line->text();
        EXPECT_LE(line->glyphSize * 34.0f / 64.0f * static_cast<float>(line->text().size() + 1), 44.0f) << line->text();
    }
    EXPECT_EQ(world->getComponent<kit::Transform>(far)->position, glm::vec3(0, 0, -80)) << "in the view: not moved";
    // Read from the top down, the lines say the taunt.
    std::vector<std::pair<float, std::string>> downwards;
    for (const kit::Text* line : farOff.lines)
        if (std::none_of(downwards.begin(), downwards.end(), [&](const auto& l) { return l.second == line->text(); }))
            downwards.emplace_back(-line->origin.y, line->text());
    std::sort(downwards.begin(), downwards.end());
    std::string read;
    for (const auto& [height, words] : downwards)
        read += (read.empty() ? "" : " ") + words;
    EXPECT_EQ(read, tauntText(1));

    // At the view's right edge, close to the camera: no taller than the
    // designed size with the camera at its closest, moved into the view.
    const kit::EntityID near = said(glm::vec3(17, 0, 0), tauntText(2));
    drawFrame();
    const Seen close = seen(near);
    ASSERT_FALSE(close.lines.empty());
    const float lineOnScreen = (close.high.y - close.low.y) / static_cast<float>(close.lines.size());
    EXPECT_LE(lineOnScreen, 3.0f / (25.0f * std::tan(glm::radians(35.0f))) + 1e-3f);
    EXPECT_GE(close.low.x, -1.0f);
    EXPECT_LE(close.high.x, 1.0f) << "kept in the view";
    EXPECT_GE(close.low.y, -1.0f);
    EXPECT_LE(close.high.y, 1.0f);
    EXPECT_LT(world->getComponent<kit::Transform>(near)->position.x, 17.0f);
    kit::settings::set(lookSettings::textSize.key(), "100");
}

TEST_F(Effects, TheHudScoreFollowsThePlanesPoints)
{
    const kit::EntityHandle plane = world->createEntity();
    auto* score = new Score;
    world->addComponent(plane, score);
    const kit::EntityHandle counter = entity(glm::vec3(0), {"hudSpace"});
    auto* text = new kit::Text(kit::textureManager().getHandle("fonts/UbuntuMono.png"), "00", glm::vec3(1),
                               glm::vec3(0), {}, 0.1f);
    world->addComponent(counter, text);
    world->addComponent(counter, new ScoreCounter(plane));
    score->points = 3;
    world->update(0.0f);
    EXPECT_EQ(text->text(), "   3");
    score->points = -1;
    world->update(0.0f);
    EXPECT_EQ(text->text(), "  -1");
}
