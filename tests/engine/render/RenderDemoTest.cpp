// A small scene through the whole renderer: a lit, textured model, a sprite,
// an additive particle quad and overlay text. The picture is saved for people
// to look at (render-demo.png in the build directory) and checked at known pixels.
#include "engine/render/AspectMatcher.h"
#include "engine/render/Model.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/ShaderProgram.h"
#include "support/RenderScene.h"

#include <glm/gtc/matrix_transform.hpp>

#include <fstream>

using test::near;

namespace {

class Demo : public test::RenderScene {
protected:
    Demo() : RenderScene(320, 240) {}

    // A unit cube with one texture, through an MTL material.
    void writeCube()
    {
        std::ofstream obj("assets/models/cube.obj");
        obj << "mtllib cube.mtl\n";
        for (int i = 0; i < 8; ++i)
            obj << "v " << ((i & 1) ? 0.5 : -0.5) << " " << ((i & 2) ? 0.5 : -0.5) << " " << ((i & 4) ? 0.5 : -0.5)
                << "\n";
        obj << "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
        obj << "vn 1 0 0\nvn -1 0 0\nvn 0 1 0\nvn 0 -1 0\nvn 0 0 1\nvn 0 0 -1\nusemtl crate\n";
        // Faces as quads split into two triangles, counter-clockwise from outside.
        const int faces[6][4] = {{2, 4, 8, 6}, {1, 5, 7, 3}, {3, 7, 8, 4}, {1, 2, 6, 5}, {5, 6, 8, 7}, {1, 3, 4, 2}};
        for (int f = 0; f < 6; ++f) {
            const int* q = faces[f];
            const int n = f + 1;
            obj << "f " << q[0] << "/1/" << n << " " << q[1] << "/2/" << n << " " << q[2] << "/3/" << n << "\n";
            obj << "f " << q[0] << "/1/" << n << " " << q[2] << "/3/" << n << " " << q[3] << "/4/" << n << "\n";
        }
        std::ofstream("assets/models/cube.mtl") << "newmtl crate\nKa 0.2 0.2 0.2\nKd 1 1 1\nKs 0.3 0.3 0.3\nNs 16\n"
                                                   "map_Kd crate.png\n";
        std::vector<unsigned char> checker;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool dark = (x + y) % 2;
                checker.insert(checker.end(), {static_cast<unsigned char>(dark ? 120 : 230),
                                               static_cast<unsigned char>(dark ? 70 : 170), 40, 255});
            }
        lodepng::encode("assets/models/crate.png", checker, 8, 8);
    }
};

} // namespace

TEST_F(Demo, ASmallSceneRendersAsExpected)
{
    writeCube();
    kit::UniformSet lights;
    lights.set("lights[0].direction", glm::vec3(-0.4f, -0.6f, -0.7f));
    lights.set("lights[0].color", glm::vec3(0.9f, 0.9f, 0.85f));
    lights.set("lights[1].direction", glm::vec3(0.6f, 0.2f, -0.5f));
    lights.set("lights[1].color", glm::vec3(0.25f, 0.3f, 0.4f));
    for (int i = 2; i < 4; ++i) {
        lights.set("lights[" + std::to_string(i) + "].direction", glm::vec3(0, -1, 0));
        lights.set("lights[" + std::to_string(i) + "].color", glm::vec3(0.0f));
    }
    glClearColor(0.36f, 0.62f, 0.85f, 1.0f);
    world->emplaceComponent<kit::Renderer>(world->createEntity(), std::vector<kit::TagId>{kit::tagId("gameSpace")},
                                           lights, false, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, 0.0f);
    world->emplaceComponent<kit::Renderer>(world->createEntity(), std::vector<kit::TagId>{kit::tagId("hudSpace")},
                                           kit::UniformSet{}, false, GL_DEPTH_BUFFER_BIT, 1.0f);

    const auto camera = entity(glm::vec3(0, 0, 6), {"gameSpace"});
    world->emplaceComponent<kit::Camera>(camera, kit::sceneProjection());
    world->emplaceComponent<kit::AspectMatcher>(camera);
    const auto overlay = entity(glm::vec3(0.0f), {"hudSpace"});
    world->emplaceComponent<kit::Camera>(overlay, kit::overlayProjection());
    world->emplaceComponent<kit::AspectMatcher>(overlay);

    // The lit crate, turned to show three faces.
    const auto crate = entity(glm::vec3(-1.2f, 0.0f, 0.0f), {"gameSpace"});
    kit::objManager().get("models/cube.obj");
    world->emplaceComponent<kit::Model>(crate, kit::objManager().prefetch("models/cube.obj"));
    world->getComponent<kit::Transform>(crate.id)->rotation =
        glm::angleAxis(0.6f, glm::vec3(0, 1, 0)) * glm::angleAxis(0.45f, glm::vec3(1, 0, 0));
    world->getComponent<kit::Transform>(crate.id)->scale = glm::vec3(1.6f);

    // A sprite and an additive particle over it.
    const std::string green = solidTexture("leaf.png", {60, 200, 80, 255});
    kit::textureManager().get(green);
    const auto leaf = entity(glm::vec3(1.3f, 0.4f, 0.0f), {"gameSpace"});
    world->emplaceComponent<kit::Sprite>(leaf, kit::textureManager().prefetch(green), 1.2f, 1.2f, 0.0f, true);

    const std::string white = solidTexture("spark.png", {255, 255, 255, 255});
    kit::textureManager().get(white);
    const auto spark = entity(glm::vec3(1.3f, -1.0f, 0.5f), {"gameSpace", "additiveBlending"});
    auto* particle = world->emplaceComponent<kit::Model>(spark, kit::objManager().prefetch("models/quad.obj"), true);
    kit::objManager().get("models/quad.obj");
    particle->material = std::make_shared<kit::Material>();
    kit::shaderProgramManager().get("shaders/colorizedFlatShader.txt");
    particle->material->setShaderProgram(kit::shaderProgramManager().prefetch("shaders/colorizedFlatShader.txt"));
    particle->material->setTexture("diffuseTex", kit::textureManager().prefetch(white));
    particle->material->setUniform("color", glm::vec3(1.0f, 0.55f, 0.1f));
    particle->material->setUniform("alpha", 0.8f);
    world->getComponent<kit::Transform>(spark.id)->scale = glm::vec3(0.8f);

    // Overlay text along the bottom.
    kit::textureManager().get("fonts/UbuntuMono.png");
    const auto title = entity(glm::vec3(0.0f), {"hudSpace"});
    auto* text = world->emplaceComponent<kit::Text>(title, kit::textureManager().prefetch("fonts/UbuntuMono.png"),
                                                    "SKYSCUFFLE", glm::vec3(1.0f, 0.95f, 0.3f),
                                                    glm::vec3(-1.1f, -0.9f, 0.0f), kit::ResourceHandle<kit::ShaderProgram>{},
                                                    0.18f);
    text->noDepth = true;

    drawFrame();
    savePicture(SKYSCUFFLE_BINARY_DIR "/render-demo.png");

    const auto sky = pixel(5, 235);
    EXPECT_TRUE(near(sky, {92, 158, 217}, 3)) << sky[0] << "," << sky[1] << "," << sky[2];
    // The crate: lit wood, neither sky nor black.
    const auto wood = pixel(100, 120);
    EXPECT_GT(wood[0], wood[2] + 40) << wood[0] << "," << wood[1] << "," << wood[2];
    // The sprite, as its texture.
    // (World x 1.3 at distance 6 under a 70-degree view, squeezed by the 4:3 aspect.)
    EXPECT_TRUE(near(pixel(197, 131), {60, 200, 80}, 6));
    // The particle adds orange to the sky: red saturates, green rises.
    const auto glow = pixel(200, 89);
    EXPECT_GT(glow[0], 240);
    EXPECT_GT(glow[1], sky[1]);
    // Text pixels in the overlay's colour near the bottom left.
    int yellow = 0;
    for (int x = 40; x < 200; ++x)
        for (int y = 12; y < 32; ++y) {
            const auto p = pixel(x, y);
            yellow += p[0] > 220 && p[1] > 210 && p[2] < 120;
        }
    EXPECT_GT(yellow, 50);
}
