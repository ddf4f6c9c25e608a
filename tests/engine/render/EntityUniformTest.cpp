// Per-entity uniform values over shared materials: each entity shows its own,
// the ones without show the material's, and the material never changes.
#include "engine/render/Model.h"
#include "engine/resources/Material.h"
#include "engine/resources/Mesh.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/ShaderProgram.h"
#include "support/RenderScene.h"

#include <fstream>

using test::near;

namespace {

// Quads at x = -0.6, 0 and 0.6 in device coordinates (pixels 32, 80 and 128
// of 160), half a unit wide, over black.
class EntityUniforms : public test::RenderScene {
protected:
    void SetUp() override
    {
        RenderScene::SetUp();
        if (HasFatalFailure())
            return;
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        world->emplaceComponent<kit::Renderer>(world->createEntity(), std::vector<kit::TagId>{kit::tagId("gameSpace")},
                                               kit::UniformSet{}, false, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT,
                                               0.0f);
        kit::objManager().get("models/quad.obj");
        program = kit::shaderProgramManager().getHandle("shaders/colorizedFlatShader.txt");
        const std::string white = solidTexture("white.png", {255, 255, 255, 255});
        // One material for every quad, as the game keeps one per particle look.
        shared = std::make_shared<kit::Material>();
        shared->setShaderProgram(program);
        shared->setTexture("diffuseTex", kit::textureManager().getHandle(white));
        shared->setUniform("color", glm::vec3(0.0f, 0.0f, 1.0f));
        shared->setUniform("alpha", 1.0f);
    }

    // Blended quads draw in ascending priority: the priority sets the order.
    kit::Model* quad(float x, float priority)
    {
        const auto e = entity(glm::vec3(x, 0.0f, 0.0f), {"gameSpace"});
        world->getComponent<kit::Transform>(e.id)->scale = glm::vec3(0.5f);
        auto* model = world->emplaceComponent<kit::Model>(e, kit::objManager().prefetch("models/quad.obj"), true);
        model->setRenderPriority(priority);
        model->material = shared;
        return model;
    }

    std::array<int, 4> left() { return pixel(32, 60); }
    std::array<int, 4> middle() { return pixel(80, 60); }
    std::array<int, 4> right() { return pixel(128, 60); }

    kit::ResourceHandle<kit::ShaderProgram> program;
    std::shared_ptr<kit::Material> shared;
};

} // namespace

TEST_F(EntityUniforms, EntitiesSharingAMaterialDrawInTheirOwnColours)
{
    quad(-0.6f, 0.0f)->setUniform("color", glm::vec3(1.0f, 0.0f, 0.0f));
    auto* second = quad(0.6f, 1.0f);
    second->setUniform("color", glm::vec3(0.0f, 1.0f, 0.0f));
    second->setUniform("alpha", 0.5f);
    drawFrame();
    EXPECT_TRUE(near(left(), {255, 0, 0})) << test::rgb(left());
    EXPECT_TRUE(near(right(), {0, 128, 0})) << test::rgb(right());
    EXPECT_EQ(*second->uniform<float>("alpha"), 0.5f);
}

TEST_F(EntityUniforms, AnEntityWithoutValuesOfItsOwnShowsTheMaterials)
{
    auto* first = quad(-0.6f, 0.0f);
    first->setUniform("color", glm::vec3(1.0f, 0.0f, 0.0f));
    first->setUniform("alpha", 0.5f);
    quad(0.0f, 1.0f); // the same material, drawn just after, nothing of its own
    quad(0.6f, 2.0f)->setUniform("alpha", 0.5f);
    for (int frame = 0; frame < 2; ++frame) { // the second frame starts with the last entity's values
        drawFrame();
        EXPECT_TRUE(near(left(), {128, 0, 0})) << test::rgb(left());
        EXPECT_TRUE(near(middle(), {0, 0, 255})) << test::rgb(middle());
        EXPECT_TRUE(near(right(), {0, 0, 128})) << test::rgb(right());
    }
}

TEST_F(EntityUniforms, ANameTheMaterialLacksGoesBackToTheProgramsValue)
{
    auto faint = std::make_shared<kit::Material>();
    faint->setShaderProgram(program);
    faint->setTexture("diffuseTex", *shared->texture("diffuseTex"));
    faint->setUniform("color", glm::vec3(0.0f, 1.0f, 0.0f)); // and no "alpha"
    program->defaults.set("alpha", 1.0f);
    auto* first = quad(-0.6f, 0.0f);
    first->material = faint;
    first->setUniform("alpha", 0.25f);
    quad(0.0f, 1.0f)->material = faint;
    drawFrame();
    EXPECT_TRUE(near(left(), {0, 64, 0})) << test::rgb(left());
    EXPECT_TRUE(near(middle(), {0, 255, 0})) << test::rgb(middle());
}

TEST_F(EntityUniforms, TheSharedMaterialIsLeftAsItWas)
{
    const auto values = shared->uniforms.values();
    const auto version = shared->uniforms.version();
    auto* a = quad(-0.6f, 0.0f);
    auto* b = quad(0.6f, 1.0f);
    a->setUniform("color", glm::vec3(1.0f, 0.0f, 0.0f));
    for (int frame = 0; frame < 3; ++frame) {
        b->setUniform("alpha", 0.3f * frame);
        drawFrame();
    }
    EXPECT_EQ(shared->uniforms.values(), values);
    EXPECT_EQ(shared->uniforms.version(), version);
    EXPECT_FALSE(shared->changed);
}

TEST_F(EntityUniforms, ARemovedValueShowsTheMaterialsAgain)
{
    auto* model = quad(0.0f, 0.0f);
    model->setUniform("color", glm::vec3(1.0f, 0.0f, 0.0f));
    drawFrame();
    EXPECT_TRUE(near(middle(), {255, 0, 0})) << test::rgb(middle());
    EXPECT_TRUE(model->removeUniform("color"));
    EXPECT_FALSE(model->removeUniform("color"));
    drawFrame();
    EXPECT_TRUE(near(middle(), {0, 0, 255})) << test::rgb(middle());
}

TEST_F(EntityUniforms, ACachedMeshsOwnMaterialIsNotChangedByOneEntity)
{
    // A quad whose MTL material is lit only by its ambient colour (no lights):
    // it shows its diffuse colour, blue.
    std::ofstream("assets/models/flat.obj") << "mtllib flat.mtl\nv -0.5 -0.5 0\nv 0.5 -0.5 0\nv 0.5 0.5 0\n"
                                               "v -0.5 0.5 0\nvn 0 0 1\nusemtl m\nf 1//1 2//1 3//1\nf 1//1 3//1 4//1\n";
    std::ofstream("assets/models/flat.mtl") << "newmtl m\nKa 1 1 1\nKd 0 0 1\nKs 0 0 0\n";
    auto mesh = kit::objManager().get("models/flat.obj");
    ASSERT_EQ(mesh->parts.size(), 1u);
    const kit::Material& own = *mesh->parts[0].material;
    const auto values = own.uniforms.values();

    // Opaque, in entity order: the red one first, then one with nothing of its own.
    const auto red = entity(glm::vec3(-0.6f, 0.0f, 0.0f), {"gameSpace"});
    world->getComponent<kit::Transform>(red.id)->scale = glm::vec3(0.5f);
    world->emplaceComponent<kit::Model>(red, kit::objManager().prefetch("models/flat.obj"))
        ->setUniform("mat_diffuse", glm::vec3(1.0f, 0.0f, 0.0f));
    const auto plain = entity(glm::vec3(0.6f, 0.0f, 0.0f), {"gameSpace"});
    world->getComponent<kit::Transform>(plain.id)->scale = glm::vec3(0.5f);
    world->emplaceComponent<kit::Model>(plain, kit::objManager().prefetch("models/flat.obj"));
    drawFrame();
    EXPECT_TRUE(near(left(), {255, 0, 0})) << test::rgb(left());
    EXPECT_TRUE(near(right(), {0, 0, 255})) << test::rgb(right());
    EXPECT_EQ(own.uniforms.values(), values);
}

TEST(UniformOverrides, KeepOneValuePerName)
{
    kit::UniformOverrides overrides;
    EXPECT_TRUE(overrides.empty());
    overrides.set("alpha", 0.5f);
    overrides.set("color", glm::vec3(1.0f));
    overrides.set("alpha", 0.25f);
    overrides.set("visible", true);
    EXPECT_EQ(overrides.size(), 3u);
    EXPECT_EQ(*overrides.get<float>("alpha"), 0.25f);
    EXPECT_EQ(*overrides.get<int>("visible"), 1);
    EXPECT_EQ(overrides.get<int>("alpha"), nullptr); // another type
    EXPECT_EQ(overrides.find("value"), nullptr);
    EXPECT_TRUE(overrides.remove("alpha"));
    EXPECT_EQ(overrides.find("alpha"), nullptr);
    EXPECT_NE(overrides.find("color"), nullptr);
}
