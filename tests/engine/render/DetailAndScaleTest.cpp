// What a renderer draws less of when that saves time: a model's light mesh
// while it is small on screen, and the scene at a lower resolution stretched
// over the screen with the HUD still at full resolution. Pixels are read back
// from the real programs; the camera maps one unit to one pixel.
#include "engine/core/Settings.h"
#include "engine/render/Model.h"
#include "engine/render/Renderable.h"
#include "engine/render/Sprite.h"
#include "engine/render/state/RenderState.h"
#include "engine/resources/Material.h"
#include "engine/resources/Mesh.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/VertexBuffer.h"
#include "support/RenderScene.h"

#include <glm/gtc/matrix_transform.hpp>

#include <fstream>

using test::near;

namespace {

constexpr std::array<int, 3> red{255, 0, 0};
constexpr std::array<int, 3> blue{0, 0, 153};
constexpr std::array<int, 3> green{0, 255, 0};

// Notes the viewport it is drawn into.
class ViewportProbe : public kit::Renderable {
public:
    void draw(kit::RenderState& state, const glm::mat4&, const kit::UniformSet&) override { seen = state.viewport; }
    glm::ivec2 seen{-1};
};

class DetailAndScale : public test::RenderScene {
protected:
    void SetUp() override
    {
        RenderScene::SetUp();
        if (HasFatalFailure())
            return;
        // The light version of the unit quad: its lower left half only.
        std::ofstream("assets/models/quadLow.obj") << "v -0.5 -0.5 0\nv 0.5 -0.5 0\nv -0.5 0.5 0\nvt 0 0\nvn 0 0 1\n"
                                                       "f 1/1/1 2/1/1 3/1/1\n";
        kit::objManager().get("models/quad.obj");
        kit::objManager().get("models/quadLow.obj");
        kit::shaderProgramManager().get("shaders/colorizedFlatShader.txt");
        white_ = solidTexture("white.png", {255, 255, 255, 255});
        kit::textureManager().get(white_);
        scene = renderer("gameSpace", 0.0f, glm::vec3(0.0f, 0.0f, 0.6f));
        world->emplaceComponent<kit::Camera>(entity(glm::vec3(0.0f, 0.0f, 5.0f), {"gameSpace"}),
                                             glm::ortho(-80.0f, 80.0f, -60.0f, 60.0f, 0.1f, 100.0f));
    }
    void TearDown() override
    {
        kit::settings::set("tuning.renderer.resolutionScale", "0");
        kit::settings::set("tuning.renderer.softwarePixels", "921600");
        RenderScene::TearDown();
    }

    // A red unit quad at `at`, `size` units (pixels) wide and high.
    kit::Model* quad(glm::vec2 at, glm::vec2 size, const char* space = "gameSpace")
    {
        const auto e = entity(glm::vec3(at, 0.0f), {space});
        world->getComponent<kit::Transform>(e.id)->scale = glm::vec3(size, 1.0f);
        auto* model = world->emplaceComponent<kit::Model>(e, kit::objManager().prefetch("models/quad.obj"));
        model->material = std::make_shared<kit::Material>();
        model->material->setShaderProgram(kit::shaderProgramManager().prefetch("shaders/colorizedFlatShader.txt"));
        model->material->setTexture("diffuseTex", kit::textureManager().prefetch(white_));
        model->material->setUniform("color", glm::vec3(1.0f, 0.0f, 0.0f));
        model->material->setUniform("alpha", 1.0f);
        return model;
    }
    kit::Model* detailed(glm::vec2 size, float belowPixels)
    {
        kit::Model* model = quad(glm::vec2(0.0f), size);
        model->lowDetail = kit::objManager().prefetch("models/quadLow.obj");
        model->lowDetailBelowPixels = belowPixels;
        return model;
    }
    // Whether the upper right of a quad at the centre, `offset` pixels out,
    // was drawn: the full quad covers it, its light half does not.
    bool upperRightDrawn(int offset) { return near(pixel(80 + offset, 60 + offset), red); }

    kit::Renderer* scene = nullptr;
    std::string white_;
};

} // namespace

TEST_F(DetailAndScale, AModelSmallerOnScreenThanItsLimitDrawsItsLightMesh)
{
    detailed(glm::vec2(40.0f), 41.0f); // 40 pixels (and a rounding margin) against 41
    drawFrame();
    EXPECT_FALSE(upperRightDrawn(10)) << "the light half";
    EXPECT_TRUE(near(pixel(70, 50), red)) << "which is drawn: " << test::rgb(pixel(70, 50));
}

TEST_F(DetailAndScale, AModelAsLargeAsItsLimitOnEitherSideDrawsItsDetailedMesh)
{
    kit::Model* model = detailed(glm::vec2(40.0f), 39.0f);
    drawFrame();
    EXPECT_TRUE(upperRightDrawn(10));

    auto* place = world->getComponent<kit::Transform>(model->entityId);
    place->scale = glm::vec3(10.0f, 40.0f, 1.0f); // the longer side counts
    model->lowDetailBelowPixels = 30.0f;
    drawFrame();
    EXPECT_TRUE(upperRightDrawn(3)) << test::rgb(pixel(83, 63));
    place->scale = glm::vec3(40.0f, 10.0f, 1.0f);
    drawFrame();
    EXPECT_TRUE(upperRightDrawn(3)) << "either way round: " << test::rgb(pixel(83, 63));
}

TEST_F(DetailAndScale, WhicheverMeshIsLoadedIsDrawnAndAnUnknownViewportGivesTheDetailedOne)
{
    kit::Model* model = detailed(glm::vec2(40.0f), 1000.0f);
    const glm::mat4 at = glm::scale(glm::mat4(1.0f), glm::vec3(40.0f));
    gl.state->projection = glm::ortho(-80.0f, 80.0f, -60.0f, 60.0f, 0.1f, 100.0f);
    gl.state->view = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, -5.0f));
    gl.state->viewport = glm::ivec2(160, 120);
    EXPECT_EQ(&model->meshFor(*gl.state, at), &model->lowDetail);
    gl.state->viewport = glm::ivec2(0);
    EXPECT_EQ(&model->meshFor(*gl.state, at), &model->mesh) << "no viewport: no size to judge by";
    gl.state->viewport = glm::ivec2(160, 120);

    model->lowDetail = kit::objManager().prefetch("models/missingLow.obj");
    EXPECT_EQ(&model->meshFor(*gl.state, at), &model->mesh) << "a light mesh that never loads";
    model->lowDetail = kit::objManager().prefetch("models/quadLow.obj");
    model->mesh = kit::objManager().prefetch("models/missing.obj");
    EXPECT_EQ(&model->meshFor(*gl.state, at), &model->lowDetail) << "better the light mesh than nothing";
}

TEST_F(DetailAndScale, AScaledSceneIsDrawnSmallerAndStretchedOverTheWholeScreenUnderAFullSizeHud)
{
    scene->scalesWithResolution = true;
    kit::settings::set("tuning.renderer.resolutionScale", "0.5");
    auto* probe = world->emplaceComponent<ViewportProbe>(entity(glm::vec3(0.0f), {"gameSpace"}));
    quad(glm::vec2(-40.0f, 0.0f), glm::vec2(80.0f, 120.0f)); // the left half of the screen
    // The HUD: a green square on the right, two pixels wide at its thinnest.
    renderer("hudSpace", 1.0f, glm::vec3(0.0f, 0.0f, 0.6f));
    world->emplaceComponent<kit::Camera>(entity(glm::vec3(0.0f), {"hudSpace"}), kit::overlayProjection());
    kit::Model* hud = quad(glm::vec2(0.5f, 0.0f), glm::vec2(0.025f, 0.2f), "hudSpace");
    hud->material->setUniform("color", glm::vec3(0.0f, 1.0f, 0.0f));
    drawFrame();

    EXPECT_EQ(probe->seen, glm::ivec2(80, 60)) << "the scene is drawn at half the width and height";
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(glm::ivec2(viewport[2], viewport[3]), glm::ivec2(160, 120)) << "and the screen's viewport is back";
    for (const auto& [x, y] : {std::pair{3, 3}, {3, 116}, {76, 60}})
        EXPECT_TRUE(near(pixel(x, y), red)) << x << "," << y << ": " << test::rgb(pixel(x, y));
    for (const auto& [x, y] : {std::pair{156, 3}, {156, 116}, {84, 60}})
        EXPECT_TRUE(near(pixel(x, y), blue)) << x << "," << y << ": " << test::rgb(pixel(x, y));
    EXPECT_TRUE(near(pixel(119, 60), green) && near(pixel(120, 60), green)) << "the HUD's own pixels";

    kit::settings::set("tuning.renderer.resolutionScale", "1");
    drawFrame();
    EXPECT_EQ(probe->seen, glm::ivec2(160, 120)) << "full size when the player asks";
    EXPECT_TRUE(near(pixel(79, 60), red) && near(pixel(80, 60), blue)) << "a sharp edge at full size";

    scene->scalesWithResolution = false;
    kit::settings::set("tuning.renderer.resolutionScale", "0.5");
    drawFrame();
    EXPECT_EQ(probe->seen, glm::ivec2(160, 120)) << "a renderer that does not scale ignores the choice";
}

TEST_F(DetailAndScale, AutomaticScaleKeepsASoftwareRendererWithinItsPixels)
{
    scene->scalesWithResolution = true;
    kit::settings::set("tuning.renderer.resolutionScale", "0");
    kit::settings::set("tuning.renderer.softwarePixels", "4800"); // a quarter of the 160 x 120 screen
    auto* probe = world->emplaceComponent<ViewportProbe>(entity(glm::vec3(0.0f), {"gameSpace"}));
    drawFrame();
    EXPECT_EQ(probe->seen, gl.state->softwareRenderer ? glm::ivec2(80, 60) : glm::ivec2(160, 120));
    kit::settings::set("tuning.renderer.softwarePixels", "19200");
    drawFrame();
    EXPECT_EQ(probe->seen, glm::ivec2(160, 120)) << "a screen within the budget is drawn at full size";
}

TEST_F(DetailAndScale, ASpriteDrawsOnlyTheCellsWhereItsTextureShowsAndTheSamePixels)
{
    // 64 x 64 texels: the left half red, the right half fully transparent.
    std::vector<unsigned char> rgba(64 * 64 * 4, 0);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 32; ++x) {
            rgba[static_cast<std::size_t>((y * 64 + x) * 4)] = 255;
            rgba[static_cast<std::size_t>((y * 64 + x) * 4 + 3)] = 255;
        }
    }
    std::filesystem::create_directories("assets/textures");
    lodepng::encode("assets/textures/half.png", rgba, 64, 64);
    kit::textureManager().get("textures/half.png");
    auto* sprite = world->emplaceComponent<kit::Sprite>(entity(glm::vec3(0.0f), {"gameSpace"}),
                                                        kit::textureManager().prefetch("textures/half.png"), 80.0f, 80.0f);
    drawFrame();

    const kit::VertexBuffer& drawn = *sprite->mesh->parts.front().buffer;
    EXPECT_EQ(drawn.vertexCount, 6u) << "the covered columns, all rows alike: one rectangle";
    ASSERT_TRUE(drawn.boundsKnown());
    // Columns 0 to 7 of 16 show, and one more for the margin: up to 9/16 of the width.
    EXPECT_FLOAT_EQ(drawn.bounds().max.x, -40.0f + 80.0f * 9.0f / 16.0f);
    EXPECT_FLOAT_EQ(drawn.bounds().min.x, -40.0f);
    EXPECT_FLOAT_EQ(drawn.bounds().max.y, 40.0f);
    EXPECT_FLOAT_EQ(drawn.bounds().min.y, -40.0f);
    for (const auto& [x, y] : {std::pair{42, 22}, {78, 98}})
        EXPECT_TRUE(near(pixel(x, y), red)) << x << "," << y << ": " << test::rgb(pixel(x, y));
    EXPECT_TRUE(near(pixel(82, 60), blue)) << test::rgb(pixel(82, 60));

    sprite->setTexture(kit::textureManager().prefetch(white_));
    drawFrame();
    EXPECT_EQ(sprite->mesh->parts.front().buffer->bounds().max.x, 40.0f) << "a new texture, a new outline";
    EXPECT_TRUE(near(pixel(100, 60), {255, 255, 255})) << test::rgb(pixel(100, 60));
}

// Sprites made by Sprite::sharing of one texture and size are one rectangle
// and one material, drawn in a single instanced draw where they do not
// overlap; a sprite that changes its texture leaves the others as they were.
TEST_F(DetailAndScale, SharedSpritesDrawInOneCallAndASpriteThatChangesTextureGoesItsOwnWay)
{
    const std::string redTexture = solidTexture("red.png", {255, 0, 0, 255});
    kit::textureManager().get(redTexture);
    kit::shaderProgramManager().get(kit::Sprite::instancedProgram);
    std::vector<kit::Sprite*> shared;
    for (float x : {-60.0f, -20.0f, 20.0f}) {
        auto* sprite = kit::Sprite::sharing(kit::textureManager().prefetch(redTexture), 16.0f, 16.0f);
        world->addComponent(entity(glm::vec3(x, 0.0f, 0.0f), {"gameSpace"}), sprite);
        shared.push_back(sprite);
    }
    auto* larger = kit::Sprite::sharing(kit::textureManager().prefetch(redTexture), 20.0f, 20.0f);
    world->addComponent(entity(glm::vec3(60.0f, 0.0f, 0.0f), {"gameSpace"}), larger);
    gl.state->resetCounters();
    drawFrame();

    EXPECT_EQ(gl.state->counters().drawCalls, 2u) << "the three alike in one draw, the larger alone";
    EXPECT_EQ(shared[0]->mesh.get(), shared[2]->mesh.get());
    EXPECT_NE(shared[0]->mesh.get(), larger->mesh.get());
    for (int x : {20, 60, 100, 140})
        EXPECT_TRUE(near(pixel(x, 60), red)) << x << ": " << test::rgb(pixel(x, 60));
    EXPECT_TRUE(near(pixel(40, 60), blue)) << test::rgb(pixel(40, 60));
    EXPECT_TRUE(near(pixel(148, 60), red)) << "the larger sprite is its own size: " << test::rgb(pixel(148, 60));
    EXPECT_TRUE(near(pixel(128, 60), blue)) << "the shared ones are theirs: " << test::rgb(pixel(128, 60));

    shared[1]->setTexture(kit::textureManager().prefetch(white_));
    EXPECT_NE(shared[1]->mesh.get(), shared[0]->mesh.get());
    auto* later = kit::Sprite::sharing(kit::textureManager().prefetch(redTexture), 16.0f, 16.0f);
    EXPECT_EQ(later->mesh.get(), shared[0]->mesh.get()) << "the others' rectangle is still shared";
    delete later;
    drawFrame();
    EXPECT_TRUE(near(pixel(60, 60), {255, 255, 255})) << test::rgb(pixel(60, 60));
    for (int x : {20, 100})
        EXPECT_TRUE(near(pixel(x, 60), red)) << x << ": " << test::rgb(pixel(x, 60));
}
