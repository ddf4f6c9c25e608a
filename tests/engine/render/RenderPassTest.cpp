// Which pass draws what: blending labels on models, and renderers drawn one
// over the other. Pixels are read back from the real programs.
#include "engine/render/Model.h"
#include "engine/render/Sprite.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"
#include "support/RenderScene.h"

using test::near;

namespace {

// Over a blue background (0, 0, 153): an additive green at half alpha gives
// (0, 128, 153); the same quad alpha-blended gives (0, 128, 77); drawn
// opaque it replaces the background with (0, 255, 0).
constexpr std::array<int, 3> added{0, 128, 153};
constexpr std::array<int, 3> alphaBlended{0, 128, 77};
constexpr std::array<int, 3> replaced{0, 255, 0};

class Passes : public test::RenderScene {
protected:
    void SetUp() override
    {
        RenderScene::SetUp();
        if (HasFatalFailure())
            return;
        glClearColor(0.0f, 0.0f, 0.6f, 1.0f);
        kit::objManager().get("models/quad.obj");
        kit::shaderProgramManager().get("shaders/colorizedFlatShader.txt");
        white = solidTexture("white.png", {255, 255, 255, 255});
        kit::textureManager().get(white);
    }

    kit::Renderer* addRenderer(const char* space, unsigned clearMask, float priority)
    {
        return world->emplaceComponent<kit::Renderer>(world->createEntity(), std::vector<kit::TagId>{kit::tagId(space)},
                                                      kit::UniformSet{}, false, clearMask, priority);
    }

    // A particle as the game builds one: the unit quad tinted green at half
    // alpha, on an entity that may carry "additiveBlending" already.
    kit::Model* particle(std::initializer_list<const char*> labels, bool blending = false, float priority = 0.0f)
    {
        const auto e = entity(glm::vec3(0.0f), labels);
        auto* model = world->emplaceComponent<kit::Model>(e, kit::objManager().prefetch("models/quad.obj"), blending);
        model->setRenderPriority(priority);
        model->material = std::make_shared<kit::Material>();
        model->material->setShaderProgram(kit::shaderProgramManager().prefetch("shaders/colorizedFlatShader.txt"));
        model->material->setTexture("diffuseTex", kit::textureManager().prefetch(white));
        model->material->setUniform("color", glm::vec3(0.0f, 1.0f, 0.0f));
        model->material->setUniform("alpha", 0.5f);
        return model;
    }

    std::string white;
};

} // namespace

TEST_F(Passes, AnAdditiveParticleOnANonBlendingModelBrightensWhatIsBehindIt)
{
    addRenderer("gameSpace", GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, 0.0f);
    particle({"gameSpace", "additiveBlending"});
    drawFrame();
    EXPECT_TRUE(near(centre(), added)) << test::rgb(centre());
    EXPECT_TRUE(near(pixel(5, 5), {0, 0, 153})) << test::rgb(pixel(5, 5));
}

TEST_F(Passes, TheAdditiveLabelMayComeAfterTheModel)
{
    addRenderer("gameSpace", GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, 0.0f);
    auto* model = particle({"gameSpace"});
    drawFrame();
    EXPECT_TRUE(near(centre(), replaced)) << test::rgb(centre()); // unlabelled: an opaque quad
    world->addComponent(model->getEntity(), new kit::Label("additiveBlending"));
    drawFrame();
    EXPECT_TRUE(near(centre(), added)) << test::rgb(centre());
}

TEST_F(Passes, ABlendingParticleWhoseLabelGoesIsAlphaBlendedAfterwards)
{
    addRenderer("gameSpace", GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, 0.0f);
    auto* smoke = particle({"gameSpace", "additiveBlending"}, true);
    drawFrame();
    EXPECT_TRUE(near(centre(), added)) << test::rgb(centre());
    world->destroyComponents(smoke->entityId, kit::tagId("additiveBlending"));
    drawFrame();
    EXPECT_TRUE(near(centre(), alphaBlended)) << test::rgb(centre());
}

TEST_F(Passes, ANonBlendingModelWhoseLabelGoesIsOpaqueAgain)
{
    addRenderer("gameSpace", GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, 0.0f);
    auto* model = particle({"gameSpace", "additiveBlending"});
    drawFrame();
    world->destroyComponents(model->entityId, kit::tagId("additiveBlending"));
    drawFrame();
    EXPECT_TRUE(near(centre(), replaced)) << test::rgb(centre());
}

TEST_F(Passes, AdditiveParticlesKeepTheirPlaceInTheBlendedOrder)
{
    addRenderer("gameSpace", GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, 0.0f);
    // Priority 2: a half-transparent red sprite, drawn after the particle (priority 1).
    const std::string halfRed = solidTexture("halfRed.png", {255, 0, 0, 128});
    kit::textureManager().get(halfRed);
    world->emplaceComponent<kit::Sprite>(entity(glm::vec3(0.0f), {"gameSpace"}),
                                         kit::textureManager().prefetch(halfRed), 1.0f, 1.0f, 2.0f);
    auto* spark = particle({"gameSpace", "additiveBlending"}, false, 1.0f);
    spark->material->setUniform("alpha", 1.0f);
    drawFrame();
    // Blue background, plus green, then half red over both.
    EXPECT_TRUE(near(centre(), {128, 127, 76})) << test::rgb(centre());
}

TEST_F(Passes, TheOverlayShowsOverASceneDrawnCloseToItsCamera)
{
    addRenderer("gameSpace", GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, 0.0f);
    addRenderer("hudSpace", 0, 1.0f);
    const auto eye = entity(glm::vec3(0.0f, 0.0f, 10.0f), {"gameSpace"});
    world->emplaceComponent<kit::Camera>(eye, kit::sceneProjection());
    const auto overlayEye = entity(glm::vec3(0.0f), {"hudSpace"});
    world->emplaceComponent<kit::Camera>(overlayEye, kit::overlayProjection());

    // An opaque red quad 0.12 units in front of the scene camera fills the
    // view and writes depth values near 0.17, nearer than the overlay's 0.5.
    const std::string red = solidTexture("red.png", {255, 0, 0, 255});
    kit::textureManager().get(red);
    world->emplaceComponent<kit::Sprite>(entity(glm::vec3(0.0f, 0.0f, 9.88f), {"gameSpace"}),
                                         kit::textureManager().prefetch(red), 1.0f, 1.0f, 0.0f, false);
    // Overlay elements at z = 0: a blended sprite on the left, an opaque one on the right.
    const std::string blue = solidTexture("blue.png", {0, 0, 255, 255});
    const std::string green = solidTexture("green.png", {0, 255, 0, 255});
    kit::textureManager().get(blue);
    kit::textureManager().get(green);
    world->emplaceComponent<kit::Sprite>(entity(glm::vec3(-0.5f, 0.0f, 0.0f), {"hudSpace"}),
                                         kit::textureManager().prefetch(blue), 0.4f, 0.4f);
    world->emplaceComponent<kit::Sprite>(entity(glm::vec3(0.5f, 0.0f, 0.0f), {"hudSpace"}),
                                         kit::textureManager().prefetch(green), 0.4f, 0.4f, 0.0f, false);
    drawFrame();
    EXPECT_TRUE(near(centre(), {255, 0, 0})) << test::rgb(centre()); // the scene between them
    EXPECT_TRUE(near(pixel(40, 60), {0, 0, 255})) << test::rgb(pixel(40, 60));
    EXPECT_TRUE(near(pixel(120, 60), {0, 255, 0})) << test::rgb(pixel(120, 60));
}

TEST_F(Passes, TheOverlayStillHidesItsOwnFartherShapes)
{
    addRenderer("gameSpace", GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, 0.0f);
    addRenderer("hudSpace", 0, 1.0f);
    world->emplaceComponent<kit::Camera>(entity(glm::vec3(0.0f), {"hudSpace"}), kit::overlayProjection());
    const std::string blue = solidTexture("blue.png", {0, 0, 255, 255});
    const std::string green = solidTexture("green.png", {0, 255, 0, 255});
    kit::textureManager().get(blue);
    kit::textureManager().get(green);
    // Opaque, in entity order: the near one first, the far one after it.
    world->emplaceComponent<kit::Sprite>(entity(glm::vec3(0.0f, 0.0f, 0.5f), {"hudSpace"}),
                                         kit::textureManager().prefetch(blue), 0.4f, 0.4f, 0.0f, false);
    world->emplaceComponent<kit::Sprite>(entity(glm::vec3(0.0f, 0.0f, -0.5f), {"hudSpace"}),
                                         kit::textureManager().prefetch(green), 1.0f, 1.0f, 0.0f, false);
    drawFrame();
    EXPECT_TRUE(near(centre(), {0, 0, 255})) << test::rgb(centre());
    EXPECT_TRUE(near(pixel(80 + 30, 60), {0, 255, 0})) << test::rgb(pixel(80 + 30, 60));
}
