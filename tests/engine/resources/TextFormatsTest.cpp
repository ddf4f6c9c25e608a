#include "engine/core/ParseError.h"
#include "engine/resources/MaterialLoader.h"
#include "engine/resources/ResourceBucket.h"
#include "engine/resources/Shader.h"
#include "engine/resources/ShaderCompiler.h"
#include "engine/resources/ShaderProgramLoader.h"
#include "engine/resources/WavefrontMtlLoader.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(MtlFiles, ReadColoursShininessAndTextures)
{
    const auto entries = kit::parseMtl("# lib\nKd 9 9 9\nnewmtl hull\nKa 0.1 0.2 0.3\nKd 1 0.5 0\nKs 1 1 1\nNs 32\n"
                                       "map_Kd hull.png\nmap_Ks shine.png\nillum 2\nnewmtl bare\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "hull");
    EXPECT_EQ(*entries[0].uniforms.get<glm::vec3>("mat_ambient"), glm::vec3(0.1f, 0.2f, 0.3f));
    EXPECT_EQ(*entries[0].uniforms.get<glm::vec3>("mat_diffuse"), glm::vec3(1.0f, 0.5f, 0.0f));
    EXPECT_EQ(*entries[0].uniforms.get<float>("mat_shininess"), 32.0f);
    EXPECT_EQ(entries[0].diffuseTexture, "hull.png");
    EXPECT_EQ(entries[0].specularTexture, "shine.png");
    EXPECT_EQ(entries[1].name, "bare");
    EXPECT_TRUE(entries[1].uniforms.values().empty());
}

TEST(MaterialFiles, ReadProgramTextureAndUniforms)
{
    std::istringstream in(R"({ shaderProgram "shaders/flatShader.txt" texture diffuseTex "sprites/HUD/frame.png"
        // comments anywhere
        uniforms [ float mat_shininess 10.0 vec3 mat_diffuse [1.0 0.5 0.25] int count -3 bool ignored ] other })");
    kit::MaterialDescription material;
    kit::parseMaterial(in, material);
    EXPECT_EQ(material.shaderProgram, "shaders/flatShader.txt");
    EXPECT_EQ(material.texture, "sprites/HUD/frame.png");
    EXPECT_EQ(*material.uniforms.get<float>("mat_shininess"), 10.0f);
    EXPECT_EQ(*material.uniforms.get<glm::vec3>("mat_diffuse"), glm::vec3(1.0f, 0.5f, 0.25f));
    EXPECT_EQ(*material.uniforms.get<int>("count"), -3);
}

TEST(MaterialFiles, ASyntaxErrorKeepsWhatCameBefore)
{
    std::istringstream in("{ shaderProgram \"a.txt\" uniforms [ vec3 c [1 2 3 } ");
    kit::MaterialDescription material;
    EXPECT_THROW(kit::parseMaterial(in, material), kit::ParseError);
    EXPECT_EQ(material.shaderProgram, "a.txt");
}

TEST(ProgramFiles, ListStagesFromFilesOrInline)
{
    std::istringstream in(R"([ { type vertex key "shaders/a.vert" }
        { type "tess control" data "void main(){}" extra ignored } { type fragment key "b.frag" } ])");
    std::vector<kit::ShaderStageEntry> entries;
    kit::parseShaderProgram(in, entries);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].file, "shaders/a.vert");
    EXPECT_EQ(kit::stageOfType(entries[1].type), kit::stage::tessControl);
    EXPECT_EQ(entries[1].data, "void main(){}");
    EXPECT_EQ(kit::stageOfType("pixel"), 0u);

    std::istringstream broken("[ { type vertex key \"a\" } { type ");
    entries.clear();
    kit::parseShaderProgram(broken, entries);
    EXPECT_EQ(entries.size(), 2u); // the list ends with the input
    std::istringstream notAList("{ type vertex }");
    EXPECT_THROW(kit::parseShaderProgram(notAList, entries), kit::ParseError);
}

class Preprocessor : public test::InTempDirectory {};

TEST_F(Preprocessor, VersionLinesAndInlineSources)
{
    EXPECT_EQ(kit::prepareShaderSource("a.vert", "#version 330 core\nvoid main(){}\n"),
              "#version 330 core\n#line 2\nvoid main(){}\n");
    EXPECT_EQ(kit::prepareShaderSource("a.vert", "void main(){}\n"), "\n#line 1\nvoid main(){}\n");
    EXPECT_EQ(kit::prepareShaderSource("", "void main(){}\n"), "void main(){}\n");
}

TEST_F(Preprocessor, IncludesAreNumberedByTheirOrder)
{
    std::filesystem::create_directories("shaders/lib");
    write("shaders/one.glsl", "float one;\n");
    write("shaders/two.glsl", "float two;\n");
    write("shaders/lib/three.glsl", "float three;\nfloat four;\n");
    std::string text = "line1\n#include \"one.glsl\"\n#include \"two.glsl\"  // trailing\n#include \"lib/three.glsl\"\nlast\n";
    EXPECT_EQ(kit::preprocessIncludes(text, 0, "shaders/"), 3);
    EXPECT_EQ(text, "line1\n"
                    "#line 10001\nfloat one;\n#line 2\n\n"
                    "#line 20001\nfloat two;\n#line 3\n\n"
                    "#line 30001\nfloat three;\nfloat four;\n#line 4\n\n"
                    "last\n");
}

TEST_F(Preprocessor, AFileThatIncludesItselfStops)
{
    std::filesystem::create_directories("shaders");
    write("shaders/self.glsl", "float a;\n#include \"self.glsl\"\n");
    testing::internal::CaptureStderr();
    std::string text = "#include \"self.glsl\"\n";
    EXPECT_EQ(kit::preprocessIncludes(text, 0, "shaders/"), 2);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("nested too deeply"), std::string::npos);
    EXPECT_NE(text.find("#line 100010001"), std::string::npos); // the nested file's own numbering
}

TEST_F(Preprocessor, MissingFilesAndQuotes)
{
    testing::internal::CaptureStderr();
    std::string text = "a\n#include \"nowhere.glsl\"\nb\n";
    EXPECT_EQ(kit::preprocessIncludes(text, 0, "shaders/"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Could not include \"shaders/nowhere.glsl\"\n");
    EXPECT_EQ(text, "a\n\nb\n");

    std::string open = "a\n#include \"never closed\nb\n";
    EXPECT_EQ(kit::preprocessIncludes(open, 0, ""), 0);
    EXPECT_EQ(open, "a\n#include \"never closed\nb\n");
}

TEST(BucketFiles, PairTypesWithPaths)
{
    std::istringstream in("[ texture \"sprites/a.png\" shaderProgram \"shaders/f.txt\" , obj \"m.obj\" ]");
    const auto pairs = kit::parseResourceBucket(in);
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[0], (std::pair<std::string, std::string>{"texture", "sprites/a.png"}));
    EXPECT_EQ(pairs[2].first, "obj");
}
