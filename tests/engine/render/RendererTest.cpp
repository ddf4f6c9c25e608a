// Render tests: real programs, a hidden window, pixels read back.
#include "engine/render/AspectMatcher.h"
#include "engine/render/AspectTranslation.h"
#include "engine/render/Model.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/VertexBuffer.h"
#include "support/RenderScene.h"

#include <glm/gtc/matrix_transform.hpp>

#include <numbers>

using test::near;

namespace {

class Rendering : public test::RenderScene {
protected:
    kit::Sprite* sprite(glm::vec3 at, const std::string& texture, float size, const char* space = "gameSpace",
                        float priority = 0.0f, bool blending = true)
    {
        const auto e = entity(at, {space});
        kit::textureManager().get(texture); // loaded before the frame
        return world->emplaceComponent<kit::Sprite>(e, kit::textureManager().prefetch(texture), size, size, priority,
                                                    blending);
    }
};

} // namespace

TEST_F(Rendering, WithoutACameraTheSceneIsInDeviceCoordinates)
{
    renderer("gameSpace", 0.0f, glm::vec3(0.0f, 0.0f, 1.0f));
    sprite(glm::vec3(0.0f), solidTexture("red.png", {255, 0, 0, 255}), 1.0f);
    drawFrame();
    EXPECT_TRUE(near(centre(), {255, 0, 0}));    // the unit quad covers -0.5 to 0.5
    EXPECT_TRUE(near(pixel(5, 5), {0, 0, 255})); // the corner keeps the clear colour
    EXPECT_TRUE(near(pixel(40 + 2, 30 + 2), {255, 0, 0}));
    EXPECT_TRUE(near(pixel(40 - 3, 30 - 3), {0, 0, 255}));
}

TEST_F(Rendering, TheOverlayRendererDrawsOverTheScene)
{
    renderer("gameSpace", 0.0f);
    renderer("hudSpace", 1.0f);
    sprite(glm::vec3(0.0f), solidTexture("red2.png", {255, 0, 0, 255}), 1.5f, "gameSpace");
    sprite(glm::vec3(0.0f, 0.0f, -0.5f), solidTexture("blue.png", {0, 0, 255, 255}), 0.5f, "hudSpace");
    drawFrame();
    EXPECT_TRUE(near(centre(), {0, 0, 255})); // the overlay, although farther away
    EXPECT_TRUE(near(pixel(80 + 30, 60), {255, 0, 0}));
}

TEST_F(Rendering, EachRendererDrawsOnlyWhatIsInItsSpace)
{
    renderer("hudSpace", 0.0f, glm::vec3(0.0f, 0.0f, 1.0f));
    sprite(glm::vec3(0.0f), solidTexture("red3.png", {255, 0, 0, 255}), 1.0f, "gameSpace"); // blended
    sprite(glm::vec3(0.6f, 0.0f, 0.0f), solidTexture("green3.png", {0, 255, 0, 255}), 0.4f, "gameSpace", 0.0f,
           false); // opaque
    sprite(glm::vec3(-0.6f, 0.0f, 0.0f), solidTexture("white3.png", {255, 255, 255, 255}), 0.4f, "hudSpace");
    drawFrame();
    EXPECT_TRUE(near(centre(), {0, 0, 255})) << "the stage's blended things are not the overlay's";
    EXPECT_TRUE(near(pixel(128, 60), {0, 0, 255})) << "nor its opaque ones";
    EXPECT_TRUE(near(pixel(32, 60), {255, 255, 255})) << "what is in the overlay is drawn";
}

TEST_F(Rendering, BlendedRenderablesFollowOpaqueOnesInPriorityOrder)
{
    renderer("gameSpace", 0.0f);
    // Opaque, behind (in device coordinates a larger z is farther away).
    sprite(glm::vec3(0.0f, 0.0f, 0.5f), solidTexture("grey.png", {100, 100, 100, 255}), 2.0f, "gameSpace", 0.0f, false);
    // Two half-transparent quads; the higher priority is drawn last, over the other.
    sprite(glm::vec3(0.0f), solidTexture("halfRed.png", {255, 0, 0, 128}), 1.0f, "gameSpace", 2.0f);
    sprite(glm::vec3(0.0f), solidTexture("halfGreen.png", {0, 255, 0, 128}), 1.0f, "gameSpace", 1.0f);
    drawFrame();
    // grey, then green over it, then red over that: red dominates.
    const auto c = centre();
    EXPECT_GT(c[0], c[1]) << c[0] << "," << c[1] << "," << c[2];
    EXPECT_GT(c[1], 40); // the green underneath still shows
}

TEST_F(Rendering, AdditiveBlendingAddsColours)
{
    renderer("gameSpace", 0.0f);
    sprite(glm::vec3(0.0f), solidTexture("addRed.png", {255, 0, 0, 255}), 1.0f);
    auto* green =
        sprite(glm::vec3(0.0f, 0.0f, 0.1f), solidTexture("addGreen.png", {0, 255, 0, 255}), 1.0f, "gameSpace", 1.0f);
    world->addComponent(green->getEntity(), new kit::Label("additiveBlending"));
    drawFrame();
    EXPECT_TRUE(near(centre(), {255, 255, 0}));
}

TEST_F(Rendering, SpritesShowBothSidesAndModelsAreCulled)
{
    renderer("gameSpace", 0.0f);
    auto* turned = sprite(glm::vec3(-0.5f, 0.0f, 0.0f), solidTexture("back.png", {255, 255, 255, 255}), 0.8f);
    world->getComponent<kit::Transform>(turned->entityId)->rotation =
        glm::angleAxis(std::numbers::pi_v<float>, glm::vec3(0, 1, 0));
    // The unit quad model, turned away too: culled.
    const auto e = entity(glm::vec3(0.5f, 0.0f, 0.0f), {"gameSpace"});
    auto* model = world->emplaceComponent<kit::Model>(e, kit::objManager().prefetch("models/quad.obj"));
    kit::objManager().get("models/quad.obj");
    model->material = std::make_shared<kit::Material>();
    kit::shaderProgramManager().get("shaders/flatShader.txt");
    model->material->setShaderProgram(kit::shaderProgramManager().prefetch("shaders/flatShader.txt"));
    kit::textureManager().get("textures/back.png");
    model->material->setTexture("diffuseTex", kit::textureManager().prefetch("textures/back.png"));
    world->getComponent<kit::Transform>(e.id)->rotation = glm::angleAxis(std::numbers::pi_v<float>, glm::vec3(0, 1, 0));
    drawFrame();
    EXPECT_TRUE(near(pixel(40, 60), {255, 255, 255}));
    EXPECT_TRUE(near(pixel(120, 60), {0, 0, 0}));
    // Facing the viewer, the model shows.
    world->getComponent<kit::Transform>(e.id)->rotation = glm::quat(1, 0, 0, 0);
    drawFrame();
    EXPECT_TRUE(near(pixel(120, 60), {255, 255, 255}));
}

TEST_F(Rendering, AMaterialDrawnTwiceInARowUploadsItsValuesOnce)
{
    kit::shaderProgramManager().get("shaders/colorizedFlatShader.txt");
    kit::Material material;
    material.setShaderProgram(kit::shaderProgramManager().prefetch("shaders/colorizedFlatShader.txt"));
    material.setUniform("alpha", 0.5f);
    kit::UniformSet globals;
    ASSERT_TRUE(material.use(*gl.state, globals));
    kit::ShaderProgram& program = *material.shaderProgram.resource;
    // Changed behind the material's back: a second use must not upload again.
    glUniform1f(program.uniformLocation("alpha"), 0.75f);
    ASSERT_TRUE(material.use(*gl.state, globals));
    float alpha = 0.0f;
    glGetUniformfv(program.id, program.uniformLocation("alpha"), &alpha);
    EXPECT_EQ(alpha, 0.75f);
    // Once changed, it uploads again.
    material.setUniform("alpha", 0.25f);
    material.use(*gl.state, globals);
    glGetUniformfv(program.id, program.uniformLocation("alpha"), &alpha);
    EXPECT_EQ(alpha, 0.25f);

    // Another material on the same program: values only the first set go back
    // to the program's own (or zero).
    kit::Material other;
    other.setShaderProgram(material.shaderProgram);
    program.defaults.set("alpha", 1.0f);
    other.use(*gl.state, globals);
    glGetUniformfv(program.id, program.uniformLocation("alpha"), &alpha);
    EXPECT_EQ(alpha, 1.0f);
}

TEST_F(Rendering, GlyphsArePlacedOneAdvanceApart)
{
    renderer("hudSpace", 0.0f);
    const auto e = entity(glm::vec3(0.0f), {"hudSpace"});
    auto font = kit::textureManager().prefetch("fonts/UbuntuMono.png");
    kit::textureManager().get("fonts/UbuntuMono.png");
    auto* text = world->emplaceComponent<kit::Text>(e, font, "AB", glm::vec3(1.0f), glm::vec3(0.0f),
                                                    kit::ResourceHandle<kit::ShaderProgram>{}, 0.25f);
    drawFrame();
    ASSERT_EQ(text->batch.builds, 1);
    std::vector<glm::vec3> positions(12);
    text->batch.buffer->bind(GL_ARRAY_BUFFER);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, 12 * sizeof(glm::vec3), positions.data());
    const float advance = 0.25f * font->width / font->height;
    EXPECT_NEAR(positions[1].x, advance, 1e-6f);     // A's bottom-left: one advance right of x0
    EXPECT_NEAR(positions[2].x, 2 * advance, 1e-6f); // its top-right
    EXPECT_NEAR(positions[2].y, 0.25f, 1e-6f);
    EXPECT_NEAR(positions[7].x, 2 * advance, 1e-6f); // B starts where A ends
    // Lit pixels inside A's quad, none in the first advance (the text
    // starts one advance right of x0).
    auto litIn = [&](float from, float to) {
        int lit = 0;
        for (int x = 80 + static_cast<int>(from * 80) + 1; x < 80 + static_cast<int>(to * 80); ++x)
            for (int y = 61; y < 60 + static_cast<int>(0.25f * 60); ++y)
                lit += pixel(x, y)[0] > 128;
        return lit;
    };
    EXPECT_GT(litIn(advance, 2 * advance), 5);
    EXPECT_EQ(litIn(0.0f, advance), 0);

    text->setText("AB"); // the same string: no rebuild
    drawFrame();
    EXPECT_EQ(text->batch.builds, 1);
    text->setText("");
    drawFrame();
    EXPECT_EQ(text->batch.builds, 2);
}

TEST_F(Rendering, ALineBreakStartsTheNextLineOneGlyphBelow)
{
    renderer("hudSpace", 0.0f);
    const auto e = entity(glm::vec3(0.0f), {"hudSpace"});
    // Under a name of its own: the texture cache outlives each test's context.
    std::filesystem::copy_file("assets/fonts/UbuntuMono.png", "assets/fonts/lineBreak.png");
    auto font = kit::textureManager().prefetch("fonts/lineBreak.png");
    kit::textureManager().get("fonts/lineBreak.png");
    auto* text = world->emplaceComponent<kit::Text>(e, font, "A\nB", glm::vec3(1.0f), glm::vec3(0.0f),
                                                    kit::ResourceHandle<kit::ShaderProgram>{}, 0.25f);
    drawFrame();
    std::vector<glm::vec3> positions(18);
    text->batch.buffer->bind(GL_ARRAY_BUFFER);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, 18 * sizeof(glm::vec3), positions.data());
    const float advance = 0.25f * font->width / font->height;
    // A on the first line, from y 0 to 0.25; B one advance right of x0 on the
    // line below, from y -0.25 to 0.
    EXPECT_NEAR(positions[1].y, 0.0f, 1e-6f);
    EXPECT_NEAR(positions[13].x, advance, 1e-6f); // B's bottom-left
    EXPECT_NEAR(positions[13].y, -0.25f, 1e-6f);
    EXPECT_NEAR(positions[14].y, 0.0f, 1e-6f); // its top-right
    // B's pixels are below the origin's row, none above A's line.
    auto litRows = [&](int from, int to) {
        int lit = 0;
        for (int x = 80 + static_cast<int>(advance * 80) + 1; x < 80 + static_cast<int>(2 * advance * 80); ++x)
            for (int y = from; y < to; ++y)
                lit += pixel(x, y)[0] > 128;
        return lit;
    };
    EXPECT_GT(litRows(60 - static_cast<int>(0.25f * 60) + 1, 60), 5);
    EXPECT_EQ(litRows(60 + static_cast<int>(0.25f * 60) + 1, 60 + static_cast<int>(0.5f * 60)), 0);
}

TEST_F(Rendering, TheLastRowsLettersAreDrawnLikeEveryOther)
{
    renderer("hudSpace", 0.0f);
    const auto e = entity(glm::vec3(0.0f), {"hudSpace"});
    std::filesystem::copy_file("assets/fonts/UbuntuMono.png", "assets/fonts/lastRow.png");
    auto font = kit::textureManager().prefetch("fonts/lastRow.png");
    kit::textureManager().get("fonts/lastRow.png");
    const float advance = 0.25f * font->width / font->height;
    auto* text = world->emplaceComponent<kit::Text>(e, font, "", glm::vec3(1.0f), glm::vec3(0.0f),
                                                    kit::ResourceHandle<kit::ShaderProgram>{}, 0.25f);
    auto lit = [&] {
        int count = 0;
        for (int x = 80 + static_cast<int>(advance * 80) + 1; x < 80 + static_cast<int>(2 * advance * 80); ++x)
            for (int y = 61; y < 60 + static_cast<int>(0.25f * 60); ++y)
                count += pixel(x, y)[0] > 128;
        return count;
    };
    // u-umlaut, n-tilde and y-umlaut (bytes 252, 241, 255) as much as a (228)
    // from the row above.
    for (const char* letter : {"\xfc", "\xf1", "\xff", "\xe4"}) {
        text->setText(letter);
        drawFrame();
        EXPECT_GT(lit(), 5) << "byte " << static_cast<int>(static_cast<unsigned char>(letter[0]));
    }
}

TEST(TextBounds, TheGlyphsRectangleAsTheyAreLaidOut)
{
    // Two lines from (1, 2): the first glyph one advance right of x, the
    // second line one glyph size below the first.
    const kit::TextBounds two = kit::textBounds("AB\nC", 0.25f, glm::vec3(1.0f, 2.0f, 0.0f), 0.1f);
    EXPECT_FLOAT_EQ(two.left, 1.1f);
    EXPECT_FLOAT_EQ(two.right, 1.3f);
    EXPECT_FLOAT_EQ(two.bottom, 1.75f);
    EXPECT_FLOAT_EQ(two.top, 2.25f);
    // Spaces draw nothing: a line's leading spaces move its first glyph on.
    const kit::TextBounds spaced = kit::textBounds("  A ", 0.25f, glm::vec3(0.0f), 0.1f);
    EXPECT_FLOAT_EQ(spaced.left, 0.3f);
    EXPECT_FLOAT_EQ(spaced.right, 0.4f);
    EXPECT_TRUE(kit::textBounds(" \n ", 0.25f, glm::vec3(0.0f), 0.1f).empty());
    EXPECT_FALSE(spaced.empty());
}

TEST(GlyphCells, ByteBMapsToColumnBMod16AndRowBDiv16)
{
    const auto a = kit::glyphCell('A');
    EXPECT_FLOAT_EQ(a[0], 1.0f / 16);
    EXPECT_FLOAT_EQ(a[1], 4.0f / 16);
    EXPECT_FLOAT_EQ(a[3], 5.0f / 16);
    const auto high = kit::glyphCell(0xFC); // ü, in the last row like the rest of ð to ÿ
    EXPECT_FLOAT_EQ(high[0], 12.0f / 16);
    EXPECT_FLOAT_EQ(high[1], 15.0f / 16);
    EXPECT_FLOAT_EQ(high[2], 13.0f / 16);
    EXPECT_FLOAT_EQ(high[3], 1.0f);
}

namespace {

class WideWindow : public test::RenderScene {
protected:
    WideWindow() : RenderScene(1600, 900) {}
};

class SquarishWindow : public test::RenderScene {
protected:
    SquarishWindow() : RenderScene(400, 300) {}
};

} // namespace

TEST_F(WideWindow, AspectMatcherStretchesToTheWindow)
{
    const auto camera = entity(glm::vec3(0.0f), {"hudSpace"});
    world->emplaceComponent<kit::AspectMatcher>(camera);
    world->render(0.0f);
    EXPECT_NEAR(world->getComponent<kit::Transform>(camera.id)->scale.x, 1.7777778f, 1e-5f);
}

TEST_F(SquarishWindow, AspectTranslationKeepsTheSideFraction)
{
    const auto item = entity(glm::vec3(0.0f), {"hudSpace"});
    world->emplaceComponent<kit::AspectTranslation>(item, glm::vec3(-0.9f, 0.8f, 0.0f));
    world->render(0.0f);
    const glm::vec3 p = world->getComponent<kit::Transform>(item.id)->position;
    EXPECT_NEAR(p.x, -1.2f, 1e-5f);
    EXPECT_NEAR(p.y, 0.8f, 1e-6f);

    // A minimised (zero-height) window changes nothing and divides by nothing.
    kit::Window detached;
    world->window = &detached;
    world->getComponent<kit::Transform>(item.id)->position = glm::vec3(7.0f);
    world->render(0.0f);
    EXPECT_EQ(world->getComponent<kit::Transform>(item.id)->position, glm::vec3(7.0f));
}

TEST_F(Rendering, EveryGameProgramLinksWithoutErrors)
{
    testing::internal::CaptureStderr();
    for (const char* program :
         {"shaders/flatShader.txt", "shaders/texturedShaderProgram.txt", "shaders/colorizedFlatShader.txt",
          "shaders/colorizedTextShader.txt", "shaders/tanSpaceNormalMapping.txt", "shaders/planeShader.txt",
          "shaders/radialBarShader.txt", "shaders/radialBarInstancedShader.txt", "shaders/flatInstancedShader.txt",
          "shaders/skinnedShader.txt"})
        EXPECT_TRUE(kit::shaderProgramManager().get(program)->linked) << program;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    auto lit = kit::shaderProgramManager().get("shaders/texturedShaderProgram.txt");
    EXPECT_GE(lit->uniformLocation("lights[3].direction"), 0);
    EXPECT_GE(lit->uniformLocation("lights[0].color"), 0);
    auto skinned = kit::shaderProgramManager().get("shaders/skinnedShader.txt");
    EXPECT_GE(skinned->uniformLocation("bones[63]"), 0);
}

TEST_F(Rendering, AMaterialMayGoBetweenDraws)
{
    auto program = kit::shaderProgramManager().getHandle("shaders/colorizedFlatShader.txt");
    kit::UniformSet globals;
    auto first = std::make_unique<kit::Material>();
    first->setShaderProgram(program);
    first->setUniform("alpha", 0.5f);
    ASSERT_TRUE(first->use(*gl.state, globals));
    first.reset(); // a particle's material, gone with its particle
    kit::Material second;
    second.setShaderProgram(program);
    second.setUniform("color", glm::vec3(1.0f));
    ASSERT_TRUE(second.use(*gl.state, globals));
    float alpha = 1.0f;
    glGetUniformfv(program->id, program->uniformLocation("alpha"), &alpha);
    EXPECT_EQ(alpha, 0.0f); // what only the first material set is put back
}

TEST_F(Rendering, TextOverEverythingLeavesDepthTestingAsItFoundIt)
{
    renderer("gameSpace", 0.0f);
    const auto e = entity(glm::vec3(0.0f), {"gameSpace"});
    auto* text = world->emplaceComponent<kit::Text>(e, kit::textureManager().getHandle("fonts/UbuntuMono.png"), "hi",
                                                    glm::vec3(1.0f), glm::vec3(0.0f),
                                                    kit::ResourceHandle<kit::ShaderProgram>{}, 0.2f);
    text->noDepth = true;
    gl.state->enable(GL_DEPTH_TEST);
    text->draw(*gl.state, glm::mat4(1.0f), kit::UniformSet{});
    EXPECT_TRUE(gl.state->isEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}
