// Drawing many models at a time must not change a pixel: the same crowded
// scene (additive and alpha-blended particles of several textures, tints and
// opacities, turned and scaled, over and under each other, in three render
// priorities, with text and opaque quads among them) is drawn with batching
// on and off and compared pixel for pixel.
#include "engine/render/Model.h"
#include "engine/render/Text.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"
#include "support/RenderScene.h"

#include <glm/gtc/matrix_transform.hpp>

#include <random>

namespace {

class Batching : public test::RenderScene {
protected:
    Batching() : RenderScene(320, 240) {}

    void SetUp() override
    {
        RenderScene::SetUp();
        if (HasFatalFailure())
            return;
        for (const char* program : {"shaders/colorizedFlatShader.txt", "shaders/colorizedFlatInstancedShader.txt",
                                    "shaders/flatShader.txt", "shaders/flatInstancedShader.txt"})
            kit::shaderProgramManager().get(program);
        kit::objManager().get("models/quad.obj");
        // Texels that vary across the quad, with transparent corners (which
        // the flat shader discards): a slip in texture coordinates shows.
        std::vector<unsigned char> pixels;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                pixels.insert(pixels.end(), {static_cast<unsigned char>(x * 16), static_cast<unsigned char>(y * 16),
                                             static_cast<unsigned char>(255 - x * 8),
                                             static_cast<unsigned char>((x + y < 4 || x + y > 26) ? 0 : 40 + x * 12)});
        std::filesystem::create_directories("assets/textures");
        lodepng::encode("assets/textures/gradient.png", pixels, 16, 16);
        spark = solidTexture("spark.png", {255, 200, 120, 200});
        for (const std::string& t : {spark, std::string("textures/gradient.png"), std::string("fonts/UbuntuMono.png")})
            kit::textureManager().get(t);

        const auto camera = entity(glm::vec3(0.0f, 0.0f, 12.0f), {"gameSpace"});
        world->emplaceComponent<kit::Camera>(camera, glm::perspective(1.2217305f, 4.0f / 3.0f, 0.1f, 1000.0f));
        scene = renderer("gameSpace", 0.0f, glm::vec3(0.2f, 0.3f, 0.5f));
    }

    std::shared_ptr<kit::Material> material(const char* program, const char* instanced, const std::string& texture)
    {
        auto m = std::make_shared<kit::Material>();
        m->setShaderProgram(kit::shaderProgramManager().prefetch(program));
        if (instanced)
            m->instancedProgram = kit::shaderProgramManager().prefetch(instanced);
        m->setTexture("diffuseTex", kit::textureManager().prefetch(texture));
        return m;
    }

    kit::Model* quad(glm::vec3 at, std::initializer_list<const char*> labels, const std::shared_ptr<kit::Material>& m,
                     bool blending, float priority = 0.0f)
    {
        const auto e = entity(at, labels);
        auto* model = world->emplaceComponent<kit::Model>(e, kit::objManager().prefetch("models/quad.obj"), blending);
        model->material = m;
        model->setRenderPriority(priority);
        return model;
    }

    // A few hundred quads over each other, as a heavy fight makes them.
    void crowd(unsigned seed)
    {
        auto fire = material("shaders/colorizedFlatShader.txt", "shaders/colorizedFlatInstancedShader.txt", spark);
        fire->setUniform("color", glm::vec3(1.0f, 0.6f, 0.2f));
        fire->setUniform("alpha", 0.7f);
        auto smoke = material("shaders/colorizedFlatShader.txt", "shaders/colorizedFlatInstancedShader.txt",
                              "textures/gradient.png");
        smoke->setUniform("color", glm::vec3(0.5f));
        smoke->setUniform("alpha", 0.9f);
        auto bullet = material("shaders/flatShader.txt", "shaders/flatInstancedShader.txt", "textures/gradient.png");

        std::mt19937 random(seed);
        std::uniform_real_distribution<float> u(0.0f, 1.0f);
        for (int i = 0; i < 300; ++i) {
            const glm::vec3 at((u(random) - 0.5f) * 14.0f, (u(random) - 0.5f) * 10.0f, (u(random) - 0.5f) * 4.0f);
            const float pick = u(random);
            const float priority = u(random) < 0.1f ? 1.0f : (u(random) < 0.1f ? -1.0f : 0.0f);
            kit::Model* model = nullptr;
            if (pick < 0.5f) {
                model = quad(at, {"gameSpace", "additiveBlending"}, fire, true, priority);
            } else if (pick < 0.8f) {
                model = quad(at, {"gameSpace"}, smoke, true, priority);
            } else {
                model = quad(at, {"gameSpace"}, bullet, true, priority);
            }
            if (u(random) < 0.8f) { // the others show their material's values
                model->setUniform("color", glm::vec3(u(random), u(random), u(random)));
                model->setUniform("alpha", u(random));
            }
            auto* transform = world->getComponent<kit::Transform>(model->entityId);
            transform->scale = glm::vec3(0.3f + 2.5f * u(random), 0.3f + 2.5f * u(random), 1.0f);
            transform->rotation = glm::angleAxis(u(random) * 6.28f, glm::vec3(0.0f, 0.0f, 1.0f));
            if (u(random) < 0.1f) { // seen from behind: drawn only where culling is off
                transform->rotation = glm::angleAxis(3.1f, glm::vec3(0.0f, 1.0f, 0.0f)) * transform->rotation;
                if (u(random) < 0.5f)
                    world->addComponent(model->getEntity(), new kit::Label("noCullFace"));
            }
            if (i == 150) { // text among them, drawn alone
                const auto label = entity(glm::vec3(-3.0f, 0.0f, 1.0f), {"gameSpace"});
                world->emplaceComponent<kit::Text>(label, kit::textureManager().prefetch("fonts/UbuntuMono.png"),
                                                   "batch", glm::vec3(1.0f, 1.0f, 0.2f), glm::vec3(0.0f),
                                                   kit::ResourceHandle<kit::ShaderProgram>{}, 1.5f);
            }
        }
        // Opaque quads of one material, neighbours in entity order.
        auto wall = material("shaders/colorizedFlatShader.txt", "shaders/colorizedFlatInstancedShader.txt",
                             "textures/gradient.png");
        for (int i = 0; i < 20; ++i) {
            kit::Model* tile =
                quad(glm::vec3(-7.0f + 0.7f * static_cast<float>(i), -4.0f + 0.2f * static_cast<float>(i),
                               -2.0f + 0.1f * static_cast<float>(i % 5)),
                     {"gameSpace"}, wall, false);
            tile->setUniform("color", glm::vec3(0.05f * static_cast<float>(i), 0.8f, 0.4f));
        }
    }

    std::vector<unsigned char> picture()
    {
        std::vector<unsigned char> rgba(static_cast<std::size_t>(width_ * height_ * 4));
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }

    // Draws a frame and returns how many draw calls it took.
    std::uint64_t drawCounted()
    {
        const std::uint64_t before = gl.state->counters().drawCalls;
        drawFrame();
        return gl.state->counters().drawCalls - before;
    }

    int differingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) const
    {
        int differing = 0;
        for (std::size_t i = 0; i < a.size(); i += 4)
            differing += !std::equal(a.begin() + static_cast<long>(i), a.begin() + static_cast<long>(i) + 4,
                                     b.begin() + static_cast<long>(i));
        return differing;
    }

    std::string spark;
    kit::Renderer* scene = nullptr;
};

} // namespace

TEST_F(Batching, ACrowdLooksTheSamePixelForPixelWithFewerDraws)
{
    for (const unsigned seed : {1u, 2u, 3u}) {
        crowd(seed);
        scene->batching = false;
        const std::uint64_t alone = drawCounted();
        const std::vector<unsigned char> expected = picture();
        scene->batching = true;
        const std::uint64_t batched = drawCounted();
        const std::vector<unsigned char> seen = picture();
        if (seed == 1)
            savePicture(SKYSCUFFLE_BINARY_DIR "/batched-crowd.png");

        EXPECT_EQ(differingPixels(expected, seen), 0) << "seed " << seed;
        EXPECT_GE(alone, 320u);
        EXPECT_LT(batched * 3, alone) << "seed " << seed << ": " << batched << " draws batched, " << alone << " alone";
        // Not an empty picture: the crowd covers much of the screen in many colours.
        int lit = 0;
        for (std::size_t i = 0; i < seen.size(); i += 4)
            lit += !test::near({seen[i], seen[i + 1], seen[i + 2], 255}, {51, 77, 128});
        EXPECT_GT(lit, width_ * height_ / 3);
        for (auto it = world->entities.begin(); it != world->entities.end();) {
            const kit::EntityID id = *it++;
            if (world->getComponent<kit::Model>(id) || world->getComponent<kit::Text>(id))
                world->destroyEntityNow(kit::EntityHandle{id, world.get()});
        }
    }
}

TEST_F(Batching, EachCopyShowsItsOwnTintAndOpacity)
{
    auto fire = material("shaders/colorizedFlatShader.txt", "shaders/colorizedFlatInstancedShader.txt",
                         solidTexture("white.png", {255, 255, 255, 255}));
    kit::textureManager().get("textures/white.png");
    fire->setUniform("color", glm::vec3(1.0f));
    fire->setUniform("alpha", 1.0f);
    // Three additive quads side by side, each with its own values, one with the material's.
    auto* red = quad(glm::vec3(-4.0f, 0.0f, 0.0f), {"gameSpace", "additiveBlending"}, fire, true);
    red->setUniform("color", glm::vec3(1.0f, 0.0f, 0.0f));
    red->setUniform("alpha", 0.5f);
    auto* green = quad(glm::vec3(0.0f, 0.0f, 0.0f), {"gameSpace", "additiveBlending"}, fire, true);
    green->setUniform("color", glm::vec3(0.0f, 1.0f, 0.0f));
    quad(glm::vec3(4.0f, 0.0f, 0.0f), {"gameSpace", "additiveBlending"}, fire, true);
    for (auto* model : {red, green})
        world->getComponent<kit::Transform>(model->entityId)->scale = glm::vec3(2.0f);

    EXPECT_EQ(drawCounted(), 1u);
    // Over the clear colour (51, 77, 128): red at half strength; full green; white saturating.
    // (World x 4 at distance 12 under a 70-degree view and a 4:3 aspect: 57 pixels off the centre.)
    EXPECT_TRUE(test::near(pixel(160 - 57, 120), {51 + 128, 77, 128})) << pixel(160 - 57, 120)[0];
    EXPECT_TRUE(test::near(pixel(160, 120), {51, 255, 128}));
    EXPECT_TRUE(test::near(pixel(160 + 57, 120), {255, 255, 255}));
}

TEST_F(Batching, AMaterialWithoutAnInstancedProgramIsDrawnModelByModel)
{
    auto plain = material("shaders/colorizedFlatShader.txt", nullptr, spark);
    for (int i = 0; i < 5; ++i)
        quad(glm::vec3(static_cast<float>(i) - 2.0f, 0.0f, 0.0f), {"gameSpace", "additiveBlending"}, plain, true);
    EXPECT_EQ(drawCounted(), 5u);
}

// Ring gauges (the HUD's health) share one material: drawn together, each
// still shows its own fill, exactly as drawn one by one.
TEST_F(Batching, RingGaugesDrawnTogetherShowEachTheirOwnFill)
{
    auto ring = material("shaders/radialBarShader.txt", "shaders/radialBarInstancedShader.txt",
                         solidTexture("white.png", {255, 255, 255, 255}));
    kit::textureManager().get("textures/white.png");
    kit::shaderProgramManager().get("shaders/radialBarShader.txt");
    kit::shaderProgramManager().get("shaders/radialBarInstancedShader.txt");
    ring->setUniform("minAngle", 0.0f);
    ring->setUniform("maxAngle", 6.0f);
    ring->setUniform("value", 1.0f);
    const float fills[] = {0.25f, 0.75f, -1.0f}; // the last: the material's value
    for (int i = 0; i < 3; ++i) {
        auto* gauge = quad(glm::vec3(-4.0f + 4.0f * static_cast<float>(i), 0.0f, 0.0f), {"gameSpace"}, ring, true);
        world->getComponent<kit::Transform>(gauge->entityId)->scale = glm::vec3(3.0f);
        if (fills[i] >= 0.0f)
            gauge->setUniform("value", fills[i]);
    }
    scene->batching = false;
    EXPECT_EQ(drawCounted(), 3u);
    const std::vector<unsigned char> expected = picture();
    scene->batching = true;
    EXPECT_EQ(drawCounted(), 1u);
    EXPECT_EQ(differingPixels(expected, picture()), 0);
    // Left of each centre lies half a turn round (3.1 of the 6 radians): past a quarter's fill only.
    const std::array<int, 3> background{51, 77, 128}, white{255, 255, 255};
    EXPECT_TRUE(test::near(pixel(160 - 57 - 12, 120), background)) << test::rgb(pixel(160 - 57 - 12, 120));
    EXPECT_TRUE(test::near(pixel(160 - 12, 120), white)) << test::rgb(pixel(160 - 12, 120));
    EXPECT_TRUE(test::near(pixel(160 + 57 - 12, 120), white)) << test::rgb(pixel(160 + 57 - 12, 120));
}
