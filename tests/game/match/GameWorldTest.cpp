// The match world of one copy on a hidden window with the game's assets: its
// planes and what they carry, the arena's walls and floor, leaving for the
// menu, and a scripted flight.
#include "game/ai/PlaneDecisionTree.h"
#include "game/combat/Health.h"
#include "game/combat/HealthBar.h"
#include "game/combat/Score.h"
#include "game/effects/ParticleBudget.h"
#include "game/effects/ShadowOfObject.h"
#include "game/flight/PlanePhysics.h"
#include "game/looks/LookSettings.h"
#include "game/match/HudLayout.h"
#include "game/match/MatchFunctions.h"
#include "game/match/MatchStart.h"
#include "game/match/PlaneMarks.h"
#include "game/match/Timer.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerInfo.h"
#include "game/players/PlayerShapes.h"
#include "game/powerups/GatlingGunPower.h"
#include "game/powerups/InvincibilityPower.h"
#include "game/weapons/BasicGun.h"
#include "game/weapons/Bomb.h"
#include "game/weapons/ProjectileBudget.h"

#include "MatchFixture.h"
#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/input/Joystick.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keyboard.h"
#include "engine/input/Keys.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/physics/ConstantRotation.h"
#include "engine/physics/RigidBody.h"
#include "engine/physics/Transform.h"
#include "engine/render/Text.h"
#include "engine/resources/AsyncResourceManagerBase.h"
#include "engine/resources/ResourceBucket.h"
#include "support/FakeJoystickDriver.h"
#include "support/GlContext.h"
#include "support/MatchCopy.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <lodepng.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

using namespace skyscuffle;
using test::Match;
using test::occurrences;

TEST_F(Match, AlonePlayersBecomePlanesWithEveryPart)
{
    auto& c = copy(0xA000);
    c.addPlayer(0);
    c.addPlayer(1);
    kit::LANDiscoverySystem* discovery = test::addDiscovery(c);
    discovery->hosting = true; // the lobby offers the session
    c.enterMatch();
    c.frame(); // the start check: no other copy to wait for
    kit::World& w = c.world();
    ASSERT_EQ(count<PlanePhysics>(w), 2u);
    EXPECT_EQ(count<PlaneDecisionTree>(w), 2u);
    EXPECT_EQ(count<ShadowOfObject>(w), 2u);
    EXPECT_EQ(count<BasicGun>(w), 2u);
    EXPECT_EQ(count<kit::ConstantRotation>(w), 2u); // propellers
    EXPECT_EQ(count<HealthBar>(w), 2u);             // a gauge per player of this copy
    EXPECT_EQ(count<Timer>(w), 1u);
    EXPECT_EQ(count<ProjectileBudget>(w), 1u); // what peers' bullets and the effects may cost
    EXPECT_EQ(count<ParticleBudget>(w), 1u);
    // A match in progress is not offered on the network for joining.
    ASSERT_EQ(w.getComponent<kit::LANDiscoverySystem>(w.systemEntity()), discovery);
    EXPECT_FALSE(discovery->hosting);
    EXPECT_FALSE(discovery->match()) << "a game of one machine is no session's match";
    for (const auto& plane : w.getEntities(kit::tagId("plane"))->toVector()) {
        for (const char* part : {"transform", "rigidBody", "planePhysics", "health"})
            EXPECT_TRUE(w.getComponent(plane.id, kit::tagId(part))->hasTag(kit::tagId("networked"))) << part;
        // Points are every copy's own count of the kills and deaths it judged:
        // nobody's record of them is taken.
        ASSERT_NE(w.getComponent(plane.id, kit::tagId("score")), nullptr);
        EXPECT_FALSE(w.getComponent(plane.id, kit::tagId("score"))->hasTag(kit::tagId("networked")));
        for (const char* label : {"hasGravity", "gameSpace", "cameraFocus", "player", "invincibilityPower"})
            EXPECT_TRUE(w.entityHasTag(plane.id, kit::tagId(label))) << label;
    }
    // The clock and the gauges are drawn over the screen, not in the stage.
    for (const kit::TagId kind : {kit::typeId<Timer>(), kit::typeId<HealthBar>()}) {
        for (const auto& hud : w.getEntities(kind)->toVector()) {
            EXPECT_TRUE(w.entityHasTag(hud.id, kit::tagId("hudSpace")));
            EXPECT_FALSE(w.entityHasTag(hud.id, kit::tagId("gameSpace")));
        }
    }
    for (int i = 0; i < 30; ++i)
        c.frame();
    EXPECT_EQ(count<Timer>(w), 1u); // started once
    // Half a second into a three-minute match, the clock counts down.
    const kit::EntityID clock = (*w.getEntities(kit::typeId<Timer>())->begin()).id;
    EXPECT_EQ(w.getComponent<kit::Text>(clock)->text(), " 2:59");
    // Its dark outline (copies under it) counts down with it.
    std::size_t copies = 0;
    for (kit::Component* part : *w.componentsOf(clock))
        if (const auto* text = dynamic_cast<kit::Text*>(part)) {
            ++copies;
            EXPECT_EQ(text->text(), " 2:59");
            EXPECT_FLOAT_EQ(text->glyphSize, hud::clockSize());
        }
    EXPECT_EQ(copies, 5u) << "the clock and its four outline copies";
}

TEST_F(Match, AtTwiceTheTextSizeTheClockIsTwiceAsTall)
{
    kit::settings::set(lookSettings::textSize.key(), "200");
    auto& c = copy(0xA000);
    c.addPlayer(0);
    c.enterMatch();
    c.frame();
    kit::World& w = c.world();
    ASSERT_EQ(w.getEntities(kit::typeId<Timer>())->size(), 1u);
    const kit::EntityID clock = (*w.getEntities(kit::typeId<Timer>())->begin()).id;
    for (kit::Component* part : *w.componentsOf(clock))
        if (const auto* text = dynamic_cast<kit::Text*>(part)) {
            EXPECT_FLOAT_EQ(text->glyphSize, 0.2f);
        }
    kit::settings::set(lookSettings::textSize.key(), std::to_string(lookSettings::textSize.fallback()));
}

TEST_F(Match, OverEveryPlaneTheHudShowsItsPlayersShapeInItsColour)
{
    auto& c = copy(0xA000);
    c.addPlayer(0);
    c.addPlayer(4);
    c.enterMatch();
    c.frame();
    c.frame(); // the planes' marks come the frame after the planes
    kit::World& w = c.world();
    auto* marks = w.single<PlaneMarks>();
    ASSERT_NE(marks, nullptr);
    marks->render(0.0f); // as the render pass does, after the scene's renderer
    ASSERT_EQ(marks->marks.size(), 2u);
    for (const auto& [plane, mark] : marks->marks) {
        const auto* info = w.getComponent<PlayerInfo>(plane);
        ASSERT_NE(info, nullptr);
        EXPECT_TRUE(w.entityHasTag(mark.id, kit::tagId("hudSpace")));
        const kit::Text* shape = nullptr;
        for (kit::Component* part : *w.componentsOf(mark.id)) {
            auto* text = dynamic_cast<kit::Text*>(part);
            if (text && text->colour == brightColour(info->colour))
                shape = text;
        }
        ASSERT_NE(shape, nullptr) << info->colourName;
        EXPECT_EQ(shape->text(), std::string{glyphOf(*shapeOfLivery(info->modelTexture))});
        EXPECT_TRUE(shape->enabled);
        // It follows its plane as the camera shows it.
        auto* at = w.getComponent<kit::Transform>(plane);
        const glm::vec3 before = w.getComponent<kit::Transform>(mark.id)->position;
        at->position += glm::vec3(0.0f, 10.0f, 0.0f);
        marks->render(0.0f);
        const glm::vec3 after = w.getComponent<kit::Transform>(mark.id)->position;
        EXPECT_GT(after.y, before.y + 0.01f) << info->colourName;
        EXPECT_NEAR(after.x, before.x, 1e-4f) << info->colourName;
    }
    // Straight ahead of the scene's camera is the HUD's middle; behind it, nowhere.
    const glm::mat4 eye = glm::lookAt(glm::vec3(0, 0, 100), glm::vec3(0.0f), glm::vec3(0, 1, 0));
    const glm::mat4 lens = glm::perspective(1.2f, 1.0f, 0.1f, 1000.0f);
    const glm::mat4 flat = glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, -10.0f, 10.0f);
    const glm::mat4 wide = glm::scale(glm::mat4(1.0f), glm::vec3(4.0f / 3.0f, 1.0f, 1.0f));
    const std::optional<glm::vec2> middle = PlaneMarks::onHud(glm::vec3(0.0f), eye, lens, wide, flat);
    ASSERT_TRUE(middle.has_value());
    EXPECT_NEAR(middle->x, 0.0f, 1e-5f);
    EXPECT_NEAR(middle->y, 0.0f, 1e-5f);
    const std::optional<glm::vec2> right = PlaneMarks::onHud(glm::vec3(30.0f, 0, 0), eye, lens, wide, flat);
    ASSERT_TRUE(right.has_value());
    EXPECT_GT(right->x, 0.0f);
    EXPECT_FALSE(PlaneMarks::onHud(glm::vec3(0, 0, 150.0f), eye, lens, wide, flat).has_value());
}

TEST_F(Match, TheGatlingRattlesForAsLongAsItIsHeld)
{
    kit::settings::set("tuning.gatlingGunPower.numOfBullets", "100000"); // never spent here
    kit::SettingsEntryBase::refreshAll();
    auto& c = copy(0xA000);
    c.addPlayer(0);
    c.enterMatch();
    c.frame();
    c.sounds->loadSounds(&c.world());
    c.sounds->finishLoading();
    const kit::EntityHandle plane = c.world().getEntities(kit::tagId("plane"))->toVector().front();
    c.network->callFunction(fn::grantPower, plane, glm::vec3(0), PowerEnum::gatling);
    c.frame();
    const auto* gatling = c.world().getComponent<GatlingGunPower>(plane.id);
    ASSERT_NE(gatling, nullptr);
    const audio::Channel rattle = gatling->fireSound.channel();
    ASSERT_TRUE(audio->isPlaying(rattle));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // twice the sound's length
    EXPECT_TRUE(audio->isPlaying(rattle)) << "the rattle goes round while the gun is held";
    c.network->callFunction(fn::grantPower, plane, glm::vec3(0), PowerEnum::shotgun); // replaced
    EXPECT_FALSE(audio->isPlaying(rattle)) << "and stops with the gun, not a frame later";
    kit::settings::set("tuning.gatlingGunPower.numOfBullets", "50");
    kit::SettingsEntryBase::refreshAll();
}

TEST_F(Match, TheArenaHoldsAPlaneDrivenAtEveryWall)
{
    auto& c = copy(0xA000);
    test::FakeGamepad* pad = nullptr;
    c.addPlayer(0, &pad);
    c.enterMatch();
    c.frame();
    kit::World& w = c.world();
    const kit::EntityHandle plane = w.getEntities(kit::tagId("plane"))->toVector().front();
    auto* at = w.getComponent<kit::Transform>(plane.id);
    auto* body = w.getComponent<kit::RigidBody>(plane.id);
    struct Drive {
        const char* wall;
        glm::vec3 from, towards;
    };
    // The walls' inner faces: x = -91.5 and 91.5, y = -51 (floor) and 81 (ceiling).
    for (const Drive& d : {Drive{"right", {0, 10, 0}, {1, 0, 0}}, Drive{"ceiling", {0, 10, 0}, {0, 1, 0}},
                           Drive{"floor", {0, 10, 0}, {0, -1, 0}}, Drive{"left", {0, -30, 0}, {-1, 0, 0}}}) {
        at->position = d.from;
        for (int i = 0; i < 120; ++i) { // two seconds at 150 a second: far beyond any wall
            body->velocity = d.towards * 150.0f;
            c.frame();
        }
        EXPECT_LT(std::abs(at->position.x), 91.5f) << d.wall;
        EXPECT_LT(at->position.y, 81.0f) << d.wall;
        EXPECT_GT(at->position.y, -51.0f) << d.wall;
    }
}

TEST_F(Match, AWreckFallsToTheFloor)
{
    auto& c = copy(0xA000);
    test::FakeGamepad* pad = nullptr;
    c.addPlayer(0, &pad);
    c.enterMatch();
    c.frame();
    kit::World& w = c.world();
    const kit::EntityHandle plane = w.getEntities(kit::tagId("plane"))->toVector().front();
    w.destroyComponents(plane.id, kit::typeId<InvincibilityPower>()); // past the spawn's shield
    auto* at = w.getComponent<kit::Transform>(plane.id);
    at->position = glm::vec3(0, 40, 0);
    w.getComponent<kit::RigidBody>(plane.id)->velocity = glm::vec3(0.0f);
    w.getComponent<Health>(plane.id)->damage(plane, 100.0f);
    ASSERT_TRUE(w.getComponent<Health>(plane.id)->isDead());
    for (int i = 0; i < 60; ++i)
        c.frame();
    EXPECT_LT(at->position.y, 30.0f) << "a second of falling";
}

TEST_F(Match, ADroppedBombFalls)
{
    auto& c = copy(0xA000);
    test::FakeGamepad* pad = nullptr;
    c.addPlayer(0, &pad);
    c.enterMatch();
    c.frame();
    kit::World& w = c.world();
    const kit::EntityHandle plane = w.getEntities(kit::tagId("plane"))->toVector().front();
    w.getComponent<kit::Transform>(plane.id)->position = glm::vec3(0, 40, 0);
    c.network->callFunction(fn::grantPower, plane, glm::vec3(0), PowerEnum::bomb);
    c.frame();
    pad->held[2] = true;
    c.frame();
    pad->held[2] = false;
    const auto bombs = w.getEntities(kit::typeId<Bomb>())->toVector();
    ASSERT_EQ(bombs.size(), 1u);
    const float dropped = w.getComponent<kit::Transform>(bombs[0].id)->position.y;
    for (int i = 0; i < 20; ++i)
        c.frame();
    ASSERT_TRUE(w.entities.contains(bombs[0].id));
    EXPECT_LT(w.getComponent<kit::Transform>(bombs[0].id)->position.y, dropped - 1.0f);
}

TEST_F(Match, EscapeLeavesForTheMenuWithTheMusicPaused)
{
    auto& c = copy(0xA000);
    c.addPlayer(0);
    c.enterMatch();
    c.frame();
    testing::internal::CaptureStdout();
    c.app->keyboard->keyPressed(kit::Keyboard::KeyInfo{kit::keys::escape, false, false, false});
    ASSERT_NE(c.app->pending, nullptr);
    c.frame();
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(occurrences(console, "Toggled Background sound"), 1u); // paused
    EXPECT_EQ(occurrences(console, "Creating Main Menu"), 1u);
}

TEST_F(Match, BackAndStartTogetherOnAPadLeaveTheMatchButStartAloneDoesNot)
{
    auto& c = copy(0xA000);
    c.addPlayer(0);
    c.enterMatch();
    c.frame();
    test::FakeJoystickDriver driver;
    kit::Joystick pad(0, driver);
    constexpr int back = 8, start = 9;
    const auto pressAlone = [&](int button) {
        pad.buttons.clear();
        pad.buttons[button] = true;
        c.app->joysticks->buttonPressed(kit::Joystick::ButtonInfo{&pad, button});
    };
    pressAlone(start);
    pressAlone(back);
    EXPECT_EQ(c.app->pending, nullptr) << "either button alone is a player's own";
    testing::internal::CaptureStdout();
    pad.buttons[start] = true; // Back held, then Start
    c.app->joysticks->buttonPressed(kit::Joystick::ButtonInfo{&pad, start});
    ASSERT_NE(c.app->pending, nullptr);
    c.frame();
    EXPECT_EQ(occurrences(testing::internal::GetCapturedStdout(), "Creating Main Menu"), 1u);
}

namespace {

// The back buffer as a PNG (rows top first).
void savePicture(const std::string& path, int width, int height)
{
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width * height * 4));
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<unsigned char> flipped(rgba.size());
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
        std::copy_n(&rgba[static_cast<std::size_t>(y) * row], row,
                    &flipped[static_cast<std::size_t>(height - 1 - y) * row]);
    lodepng::encode(path, flipped, static_cast<unsigned>(width), static_cast<unsigned>(height));
}

} // namespace

// A player's loop, dash and climb in the real match world, with a picture
// every half second in the build tree (flight-check/) to look at.
TEST_F(Match, AScriptedLoopDashAndClimbFlyLikeAPlane)
{
    loadTheMatch();
    auto& c = copy(0xA000);
    test::FakeGamepad* stick = nullptr;
    const kit::EntityHandle player = c.addPlayer(0, &stick);
    c.enterMatch();
    c.frame();
    kit::World& w = c.world();
    auto* body = w.getComponent<kit::RigidBody>(player.id);
    auto* transform = w.getComponent<kit::Transform>(player.id);
    ASSERT_NE(body, nullptr);
    const std::filesystem::path pictures = std::filesystem::path(SKYSCUFFLE_BINARY_DIR) / "flight-check";
    std::filesystem::create_directories(pictures);
    glViewport(0, 0, 800, 600);

    const float dt = 1.0f / 60.0f;
    float swept = 0.0f, lowest = 1e9f, previousHeading = 0.0f;
    float speedBeforeDash = 0.0f, speedAfterDash = 0.0f, climbFrom = 0.0f;
    for (int frame = 0; frame <= 6 * 60; ++frame) {
        const float t = static_cast<float>(frame) * dt;
        stick->held[0] = false;
        if (t < 1.0f) {
            stick->stick = glm::vec2(1, 0); // level flight to gather speed
        } else if (t < 4.0f) {
            const float turn = (t - 1.0f) / 3.0f * 6.2831853f; // the stick goes round once: a loop
            stick->stick = glm::vec2(std::cos(turn), std::sin(turn));
        } else if (t < 4.2f) {
            stick->stick = glm::vec2(1, 0);
            stick->held[0] = frame == 4 * 60 + 1; // a dash along the nose
        } else {
            stick->stick = glm::vec2(0.3f, 1); // and a climb
        }
        if (frame == 4 * 60)
            speedBeforeDash = glm::length(body->velocity);
        if (frame == 4 * 60 + 2)
            speedAfterDash = glm::length(body->velocity);
        if (frame == 4 * 60 + 12)
            climbFrom = transform->position.y;
        w.update(dt);
        const glm::vec3 nose = transform->rotation * glm::vec3(0, 0, 1);
        const float heading = std::atan2(nose.y, nose.x);
        if (t >= 1.0f && t < 4.0f) {
            float step = heading - previousHeading;
            step = std::remainder(step, 6.2831853f);
            swept += step;
            lowest = std::min(lowest, transform->position.y);
        }
        previousHeading = heading;
        if (frame % 30 == 0) {
            w.render(dt);
            glFinish();
            char name[32];
            std::snprintf(name, sizeof name, "flight-%03d.png", frame);
            savePicture((pictures / name).string(), 800, 600);
        }
    }
    EXPECT_GT(swept, 5.0f);    // a whole loop, counter-clockwise (over 286 degrees)
    EXPECT_GT(lowest, -45.0f); // without touching the floor
    EXPECT_GT(speedAfterDash, speedBeforeDash + 1.5f);
    EXPECT_GT(transform->position.y, climbFrom + 25.0f); // the climb gains height
}
