// A skinned, animated mesh drawn through its skinning program.
#include "engine/render/AnimSegment.h"
#include "engine/render/AnimatedModel.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/ShaderProgram.h"
#include "support/RenderScene.h"
#include "support/SkinnedScene.h"

#include <glm/gtc/type_ptr.hpp>

namespace {

class Animated : public test::RenderScene {};

} // namespace

TEST_F(Animated, BonesReachTheSkinningProgram)
{
    std::filesystem::create_directories("assets/models/skinned");
    ASSERT_TRUE(test::writeSkinnedScene("assets/models/skinned/skinned.gltf"));
    renderer("gameSpace", 0.0f);
    const auto e = entity(glm::vec3(0.0f), {"gameSpace"});
    auto mesh = kit::animatedMeshManager().getHandle("models/skinned/skinned.gltf");
    ASSERT_FALSE(mesh->mesh.parts.empty());
    auto* model = world->emplaceComponent<kit::AnimatedModel>(e, mesh, "default");
    kit::ShaderProgram& program = *mesh->mesh.parts[0].material->shaderProgram.resource;
    EXPECT_GE(program.uniformLocation("bones[1]"), 0); // drawn with the skinning program

    // Play to the last frame of the one-second animation, and draw.
    for (int frame = 0; frame < 59; ++frame)
        world->update(1.0f / 60.0f);
    auto* segment = dynamic_cast<kit::AnimSegment*>(model->node.get());
    ASSERT_NE(segment, nullptr);
    EXPECT_EQ(segment->frame(), 29);
    drawFrame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    std::vector<glm::mat4> expected;
    mesh->skeleton.pose(29, expected);
    glm::mat4 uploaded(0.0f);
    glGetUniformfv(program.id, program.uniformLocation("bones[1]"), glm::value_ptr(uploaded));
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(uploaded[c][r], expected[1][c][r], 1e-5f);
    GLint count = 0;
    glGetUniformiv(program.id, program.uniformLocation("boneCount"), &count);
    EXPECT_EQ(count, 2);
}
