#pragma once

#include "GlContext.h"
#include "TempDirectory.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/physics/Transform.h"
#include "engine/render/Camera.h"
#include "engine/render/Renderer.h"

#include <GL/glew.h>
#include <lodepng.h>

#include <array>
#include <filesystem>

#ifndef SKYSCUFFLE_SOURCE_DIR
#error "SKYSCUFFLE_SOURCE_DIR must name the repository"
#endif

namespace test {

// A started world on a hidden window, in a temporary directory whose assets
// hold a copy of the game's shaders, font and quad: render tests draw through
// the game's real programs and read the pixels back.
class RenderScene : public InTempDirectory {
protected:
    explicit RenderScene(int width = 160, int height = 120) : gl(width, height), width_(width), height_(height) {}

    void SetUp() override
    {
        InTempDirectory::SetUp();
        ASSERT_TRUE(gl.ready()) << "no OpenGL context: run the suite through `make test`";
        const std::filesystem::path source = std::filesystem::path(SKYSCUFFLE_SOURCE_DIR) / "assets";
        for (const char* folder : {"shaders", "fonts"})
            std::filesystem::copy(source / folder, std::filesystem::path("assets") / folder,
                                  std::filesystem::copy_options::recursive);
        std::filesystem::create_directories("assets/models");
        std::filesystem::copy_file(source / "models/quad.obj", "assets/models/quad.obj");
        app = std::make_unique<kit::Application>(gl.window.get(), gl.state.get());
        world = std::make_shared<kit::World>();
        app->setWorld(world);
        glViewport(0, 0, width_, height_);
    }
    void TearDown() override
    {
        world.reset();
        app.reset();
        InTempDirectory::TearDown();
    }

    // One frame's passes, drawn into the back buffer.
    void drawFrame()
    {
        world->update(0.0f);
        world->render(0.0f);
        glFinish();
    }

    // RGBA of a pixel, (0, 0) at the bottom left.
    std::array<int, 4> pixel(int x, int y)
    {
        std::array<unsigned char, 4> rgba{};
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return {rgba[0], rgba[1], rgba[2], rgba[3]};
    }
    std::array<int, 4> centre() { return pixel(width_ / 2, height_ / 2); }

    // The back buffer as a PNG (rows top first).
    void savePicture(const std::string& path)
    {
        std::vector<unsigned char> rgba(static_cast<std::size_t>(width_ * height_ * 4));
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<unsigned char> flipped(rgba.size());
        const std::size_t row = static_cast<std::size_t>(width_) * 4;
        for (int y = 0; y < height_; ++y)
            std::copy_n(&rgba[static_cast<std::size_t>(y) * row], row,
                        &flipped[static_cast<std::size_t>(height_ - 1 - y) * row]);
        lodepng::encode(path, flipped, static_cast<unsigned>(width_), static_cast<unsigned>(height_));
    }

    // A solid-colour PNG in the temporary assets.
    static std::string solidTexture(const std::string& name, std::array<unsigned char, 4> rgba, unsigned size = 4)
    {
        std::vector<unsigned char> pixels;
        for (unsigned i = 0; i < size * size; ++i)
            pixels.insert(pixels.end(), rgba.begin(), rgba.end());
        std::filesystem::create_directories("assets/textures");
        lodepng::encode("assets/textures/" + name, pixels, size, size);
        return "textures/" + name;
    }

    kit::EntityHandle entity(glm::vec3 position, std::initializer_list<const char*> labels)
    {
        const kit::EntityHandle e = world->createEntity();
        world->emplaceComponent<kit::Transform>(e, position);
        for (const char* label : labels)
            world->addComponent(e, new kit::Label(label));
        return e;
    }

    kit::Renderer* renderer(const char* space, float priority, glm::vec3 clear = glm::vec3(0.0f))
    {
        glClearColor(clear.r, clear.g, clear.b, 1.0f);
        return world->emplaceComponent<kit::Renderer>(world->createEntity(), std::vector<kit::TagId>{kit::tagId(space)},
                                                      kit::UniformSet{}, false,
                                                      priority == 0.0f ? (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)
                                                                       : GL_DEPTH_BUFFER_BIT,
                                                      priority);
    }

    GlContext gl;
    std::unique_ptr<kit::Application> app;
    std::shared_ptr<kit::World> world;
    int width_;
    int height_;
};

// A pixel's red, green and blue as "r,g,b", for failure messages.
inline std::string rgb(const std::array<int, 4>& c)
{
    return std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]);
}

inline bool near(const std::array<int, 4>& actual, std::array<int, 3> expected, int tolerance = 8)
{
    for (int i = 0; i < 3; ++i) {
        if (std::abs(actual[static_cast<std::size_t>(i)] - expected[static_cast<std::size_t>(i)]) > tolerance)
            return false;
    }
    return true;
}

} // namespace test
