// OpenGL resources under the virtual display: textures, shader programs,
// materials and meshes through their managers.
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/Texture.h"
#include "engine/resources/VertexBuffer.h"
#include "support/GlContext.h"
#include "support/TempDirectory.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <array>
#include <lodepng.h>

namespace {

class GlResources : public test::InTempDirectory {
protected:
    void SetUp() override
    {
        InTempDirectory::SetUp();
        ASSERT_TRUE(gl.ready()) << "no OpenGL context: run the suite through `make test`";
        std::filesystem::create_directories("assets/shaders/lib");
        std::filesystem::create_directories("assets/textures");
    }

    static void writePng(const std::string& path, unsigned w, unsigned h, std::uint8_t red)
    {
        std::vector<unsigned char> pixels(w * h * 4);
        for (std::size_t i = 0; i < pixels.size(); i += 4) {
            pixels[i] = red;
            pixels[i + 1] = static_cast<unsigned char>(i / 4);
            pixels[i + 2] = 7;
            pixels[i + 3] = 255;
        }
        ASSERT_EQ(lodepng::encode(path, pixels, w, h), 0u);
    }

    // A program whose fragment stage includes a file and uses a uniform array.
    void writeProgram(const std::string& name, const std::string& fragmentBody)
    {
        write("assets/shaders/" + name + ".vert",
              "#version 330 core\nin vec3 pos;\nuniform mat4 MVP;\nvoid main() { gl_Position = MVP * vec4(pos, 1.0); }\n");
        write("assets/shaders/lib/colour.glsl", "vec3 tint(vec3 c) { return c * 0.5; }\n");
        write("assets/shaders/" + name + ".frag", "#version 330 core\n#include \"lib/colour.glsl\"\nout vec4 colour;\n" +
                                                      fragmentBody);
        write("assets/shaders/" + name + ".txt", "[ { type vertex key \"shaders/" + name + ".vert\" }\n"
                                                 "  { type fragment key \"" + name + ".frag\" } ]\n");
    }

    test::GlContext gl;
};

const char* litFragment = "uniform vec3 lights[4];\nuniform sampler2D diffuseTex;\nuniform sampler2D specularTex;\n"
                          "uniform float alpha;\n"
                          "void main() { colour = vec4(tint(lights[0] + lights[3]), alpha) + texture(diffuseTex, "
                          "vec2(0.5)) + texture(specularTex, vec2(0.5)); }\n";

} // namespace

TEST_F(GlResources, APngIsUploadedWithItsSizeAndPixels)
{
    writePng("assets/textures/three.png", 3, 2, 200);
    auto texture = kit::textureManager().get("textures/three.png");
    EXPECT_EQ(texture->width, 3.0f);
    EXPECT_EQ(texture->height, 2.0f);
    EXPECT_EQ(texture->target, static_cast<unsigned>(GL_TEXTURE_2D));
    std::vector<unsigned char> back(3 * 2 * 4);
    glBindTexture(GL_TEXTURE_2D, texture->id);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, back.data());
    EXPECT_EQ(back[0], 200);
    EXPECT_EQ(back[4 * 5 + 1], 5); // the last pixel, first row first
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, gl.state->softwareRenderer ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR)
        << "trilinear only where it costs nothing";
    // The mipmaps come from the loading thread: one level of 1 x 1 below,
    // the mean of the 2 x 2 at the top left (green 0, 1, 3, 4).
    GLint maxLevel = 0, below = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, &maxLevel);
    EXPECT_EQ(maxLevel, 1);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &below);
    EXPECT_EQ(below, 1);
    std::array<unsigned char, 4> smaller{};
    glGetTexImage(GL_TEXTURE_2D, 1, GL_RGBA, GL_UNSIGNED_BYTE, smaller.data());
    EXPECT_EQ(smaller[0], 200);
    EXPECT_EQ(smaller[1], 2); // 8 / 4
    EXPECT_EQ(smaller[2], 7);

    writePng("assets/textures/one.png", 1, 1, 9);
    EXPECT_EQ(kit::textureManager().get("textures/one.png")->width, 1.0f);
    auto broken = kit::textureManager().get("textures/missing.png");
    EXPECT_EQ(broken->width, 0.0f);
    EXPECT_NE(broken->target, 0u); // still created, just empty
}

TEST_F(GlResources, AProgramLinksFromFilesWithAnIncludeAndFindsArrayElements)
{
    writeProgram("lit", litFragment);
    testing::internal::CaptureStderr();
    auto program = kit::shaderProgramManager().get("shaders/lit.txt");
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors, "");
    ASSERT_TRUE(program->linked);
    for (const char* element : {"lights[0]", "lights[1]", "lights[2]", "lights[3]"})
        EXPECT_GE(program->uniformLocation(element), 0) << element;
    EXPECT_EQ(program->uniformLocation("nothing"), -1);
    glUseProgram(program->id);
    program->setUniform("nothing", 1.0f); // ignored
    program->setUniform("alpha", 0.25f);
    float alpha = 0.0f;
    glGetUniformfv(program->id, program->uniformLocation("alpha"), &alpha);
    EXPECT_EQ(alpha, 0.25f);
    program->setUniform("lights[3]", glm::vec3(1, 2, 3));
    float light[3] = {};
    glGetUniformfv(program->id, program->uniformLocation("lights[3]"), light);
    EXPECT_EQ(light[2], 3.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GlResources, CompileErrorsCarryTheFilesLineNumbers)
{
    // Line 4 of the fragment file, and line 2 of its (first) include.
    write("assets/shaders/lib/broken.glsl", "float fine;\nfloat broken = ;\n");
    write("assets/shaders/bad.vert", "#version 330 core\nvoid main() { gl_Position = vec4(0.0); }\n");
    write("assets/shaders/bad.frag",
          "#version 330 core\nout vec4 colour;\nvoid main() {\n  colour = undefinedThing;\n}\n");
    write("assets/shaders/badinclude.frag", "#version 330 core\n#include \"lib/broken.glsl\"\nout vec4 colour;\n"
                                            "void main() { colour = vec4(fine); }\n");
    write("assets/shaders/bad.txt", "[ { type vertex key \"shaders/bad.vert\" } { type fragment key \"shaders/bad.frag\" } ]");
    write("assets/shaders/badinclude.txt",
          "[ { type vertex key \"shaders/bad.vert\" } { type fragment key \"shaders/badinclude.frag\" } ]");

    testing::internal::CaptureStderr();
    kit::shaderProgramManager().get("shaders/bad.txt");
    const std::string plain = testing::internal::GetCapturedStderr();
    EXPECT_NE(plain.find("Errors compiling \"assets/shaders/bad.frag\":\n"), std::string::npos) << plain;
    EXPECT_NE(plain.find("0:4("), std::string::npos) << plain;
    EXPECT_EQ(plain.find("Note: if the line number"), std::string::npos);
    EXPECT_NE(plain.find("Errors linking \"shaders/bad.txt\":\n"), std::string::npos) << plain;

    // An error after an include keeps the file's own line number.
    write("assets/shaders/lib/fine.glsl", "float fine;\nfloat alsoFine;\n");
    write("assets/shaders/badafter.frag", "#version 330 core\n#include \"lib/fine.glsl\"\nout vec4 colour;\n"
                                          "void main() {\n  colour = missing;\n}\n");
    write("assets/shaders/badafter.txt",
          "[ { type vertex key \"shaders/bad.vert\" } { type fragment key \"shaders/badafter.frag\" } ]");
    testing::internal::CaptureStderr();
    kit::shaderProgramManager().get("shaders/badafter.txt");
    const std::string after = testing::internal::GetCapturedStderr();
    EXPECT_NE(after.find("0:5("), std::string::npos) << after;

    testing::internal::CaptureStderr();
    kit::shaderProgramManager().get("shaders/badinclude.txt");
    const std::string included = testing::internal::GetCapturedStderr();
    EXPECT_NE(included.find("0:10002("), std::string::npos) << included;
    EXPECT_NE(included.find("Note: if the line number is 5 digits long, the first digit refers to which\n"
                            "included file the error occured in.\n"),
              std::string::npos);
}

TEST_F(GlResources, OneTextureForTwoSamplersSharesItsUnit)
{
    writeProgram("shared", litFragment);
    writePng("assets/textures/shared.png", 2, 2, 100);
    writePng("assets/textures/other.png", 2, 2, 50);
    auto program = kit::shaderProgramManager().get("shaders/shared.txt");
    auto texture = kit::textureManager().get("textures/shared.png");
    auto other = kit::textureManager().get("textures/other.png");
    glUseProgram(program->id);
    const int diffuse = program->bindTexture(*gl.state, "diffuseTex", *texture);
    const int specular = program->bindTexture(*gl.state, "specularTex", *texture);
    EXPECT_GT(diffuse, 0);
    EXPECT_EQ(specular, diffuse);
    GLint samplerUnit = -1;
    glGetUniformiv(program->id, program->uniformLocation("specularTex"), &samplerUnit);
    EXPECT_EQ(samplerUnit, diffuse);
    // A second texture gets a unit of its own, so both stay visible.
    const int second = program->bindTexture(*gl.state, "specularTex", *other);
    EXPECT_GT(second, 0);
    EXPECT_NE(second, diffuse);
    EXPECT_EQ(gl.state->boundTexture(diffuse), texture->id);
    EXPECT_EQ(program->bindTexture(*gl.state, "notASampler", *texture), -1);

    // Binding where the state records it already costs no OpenGL call.
    gl.state->resetCounters();
    texture->bind(*gl.state, diffuse);
    EXPECT_EQ(gl.state->counters().stateChanges, 0u);
    EXPECT_EQ(gl.state->counters().skipped, 1u);
}

TEST_F(GlResources, ObjMeshesTakeTheirMaterialsFromTheLastLibrary)
{
    writeProgram("texturedShaderProgram", litFragment);
    std::filesystem::create_directories("assets/models");
    writePng("assets/models/skin.png", 2, 2, 10);
    write("assets/models/first.mtl", "newmtl red\nKd 1 0 0\n");
    write("assets/models/second.mtl", "newmtl red\nKd 0 1 0\nmap_Kd skin.png\nNs 0\nnewmtl untextured\nNs 5\n");
    write("assets/models/box.obj", "mtllib first.mtl\nmtllib second.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"
                                   "usemtl red\nf 1 2 3\nf 3 2 1\nusemtl ghost\nf 1 3 2\n");
    auto mesh = kit::objManager().get("models/box.obj");
    ASSERT_EQ(mesh->parts.size(), 3u); // "", "ghost", "red"
    EXPECT_EQ(mesh->parts[0].buffer->vertexCount, 3u);
    // "red" draws the same three corners twice, once each way round: stored once, indexed twice.
    EXPECT_EQ(mesh->parts[2].buffer->vertexCount, 3u);
    ASSERT_EQ(mesh->parts[2].buffer->indexCount, 6u);
    ASSERT_NE(mesh->parts[2].buffer->indexBuffer, 0u);
    std::array<std::uint32_t, 6> indices{};
    glBindBuffer(GL_COPY_READ_BUFFER, mesh->parts[2].buffer->indexBuffer);
    glGetBufferSubData(GL_COPY_READ_BUFFER, 0, sizeof indices, indices.data());
    glBindBuffer(GL_COPY_READ_BUFFER, 0);
    EXPECT_EQ(indices, (std::array<std::uint32_t, 6>{0, 1, 2, 2, 1, 0}));
    const kit::Material& red = *mesh->parts[2].material;
    EXPECT_EQ(*red.uniform<glm::vec3>("mat_diffuse"), glm::vec3(0, 1, 0)); // from the second library
    EXPECT_EQ(*red.uniform<float>("mat_shininess"), 10.0f);
    EXPECT_EQ(*red.uniform<int>("usingDiffuseTex"), 1);
    ASSERT_NE(red.texture("diffuseTex"), nullptr);
    EXPECT_TRUE(red.texture("diffuseTex")->isLoaded());
    EXPECT_TRUE(red.shaderProgram.isLoaded());
    EXPECT_TRUE(red.shaderProgram->linked);
    EXPECT_FALSE(mesh->parts[1].material->shaderProgram.resource); // unknown name: a default material

    auto library = kit::mtlManager().get("models/second.mtl");
    EXPECT_EQ(*library->at("untextured")->uniform<float>("mat_shininess"), 5.0f);

    // The standard layout, attribute after attribute.
    const kit::VertexBuffer& buffer = *mesh->parts[2].buffer;
    ASSERT_EQ(buffer.attributes.size(), 5u);
    EXPECT_EQ(buffer.attributes[2].name, "UV");
    EXPECT_EQ(buffer.blockOffset(2), 3u * (3 + 3) * sizeof(float));
}

TEST_F(GlResources, MaterialFilesRequestTheirProgramAndTexture)
{
    writeProgram("flatForMaterial", litFragment);
    writePng("assets/textures/frame.png", 4, 4, 1);
    write("assets/frame.mat", "{ shaderProgram \"shaders/flatForMaterial.txt\" texture diffuseTex \"textures/frame.png\"\n"
                              "  uniforms [ float alpha 0.5 ] }");
    auto handle = kit::materialManager().prefetch("frame.mat");
    for (int frame = 0; frame < 2000 && !(handle.isLoaded() && handle->shaderProgram.isLoaded() &&
                                          handle->texture("diffuseTex")->isLoaded());
         ++frame) {
        kit::AsyncResourceManagerBase::updateAll();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(handle.isLoaded());
    EXPECT_TRUE(handle->shaderProgram->linked);
    EXPECT_EQ(handle->texture("diffuseTex")->resource->width, 4.0f);
    EXPECT_EQ(*handle->uniform<float>("alpha"), 0.5f);
}
