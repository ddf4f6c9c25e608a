// Drawing many small things every frame must not touch the heap per thing:
// heap allocations made through operator new on the test's thread are counted.
#include "engine/render/Model.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"
#include "support/RenderScene.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

// Per thread: the driver's own threads allocate as they please.
thread_local std::uint64_t allocations = 0;

} // namespace

// AddressSanitizer brings its own operator new, which the OpenGL driver's
// shader compiler also reaches: a partial replacement would mix the two.
// Allocations are counted in builds without it.
#if defined(__SANITIZE_ADDRESS__)
#define SKYSCUFFLE_COUNTS_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SKYSCUFFLE_COUNTS_ALLOCATIONS 0
#endif
#endif
#ifndef SKYSCUFFLE_COUNTS_ALLOCATIONS
#define SKYSCUFFLE_COUNTS_ALLOCATIONS 1
#endif

#if SKYSCUFFLE_COUNTS_ALLOCATIONS
// A malloc and free pair on purpose: GCC pairs operator new with operator
// delete only, and would warn about free once both are inlined.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
#pragma GCC diagnostic pop
#endif

namespace {

class DrawAllocations : public test::RenderScene {
protected:
    void SetUp() override
    {
        RenderScene::SetUp();
        if (HasFatalFailure())
            return;
        if (!SKYSCUFFLE_COUNTS_ALLOCATIONS)
            GTEST_SKIP() << "allocations are not counted under AddressSanitizer";
        program = kit::shaderProgramManager().getHandle("shaders/colorizedFlatShader.txt");
        white = kit::textureManager().getHandle(solidTexture("white.png", {255, 255, 255, 255}));
    }

    kit::ResourceHandle<kit::ShaderProgram> program;
    kit::ResourceHandle<kit::Texture> white;
};

} // namespace

TEST_F(DrawAllocations, MaterialsTakingTurnsOnOneProgramDoNotAllocate)
{
    // A tinted particle's material and a plain one, as the blended pass
    // meets them: each use puts back what the other one set.
    kit::Material tinted, plain;
    tinted.setShaderProgram(program);
    tinted.setUniform("color", glm::vec3(1.0f, 0.5f, 0.2f));
    tinted.setUniform("alpha", 0.5f);
    plain.setShaderProgram(program);
    const kit::UniformSet globals;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(tinted.use(*gl.state, globals));
        ASSERT_TRUE(plain.use(*gl.state, globals));
    }
    const std::uint64_t before = allocations;
    for (int i = 0; i < 100; ++i) {
        tinted.use(*gl.state, globals);
        plain.use(*gl.state, globals);
    }
    EXPECT_EQ(allocations - before, 0u);
}

TEST_F(DrawAllocations, FadingParticlesOnASharedMaterialDoNotAllocatePerFrame)
{
    world->emplaceComponent<kit::Renderer>(world->createEntity(), std::vector<kit::TagId>{kit::tagId("gameSpace")},
                                           kit::UniformSet{}, false, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, 0.0f);
    kit::objManager().get("models/quad.obj");
    auto shared = std::make_shared<kit::Material>();
    shared->setShaderProgram(program);
    shared->setTexture("diffuseTex", white);
    const int count = 300;
    std::vector<kit::Model*> particles;
    for (int i = 0; i < count; ++i) {
        const auto e = entity(glm::vec3(0.002f * i - 0.3f, 0.0f, 0.0f), {"gameSpace", "additiveBlending"});
        auto* model = world->emplaceComponent<kit::Model>(e, kit::objManager().prefetch("models/quad.obj"), true);
        model->material = shared;
        model->setUniform("color", glm::vec3(0.01f * (i % 100), 0.5f, 0.2f));
        model->setUniform("alpha", 1.0f);
        particles.push_back(model);
    }
    drawFrame();
    drawFrame();

    const int frames = 5;
    const std::uint64_t before = allocations;
    for (int frame = 0; frame < frames; ++frame) {
        for (kit::Model* particle : particles)
            particle->setUniform("alpha", 1.0f - 0.1f * frame);
        drawFrame();
    }
    // Fewer than one allocation per particle over all the frames.
    EXPECT_LT(allocations - before, static_cast<std::uint64_t>(count)) << allocations - before;
}
