// Every GLSL stage of every shader program the game ships, checked by the
// reference compiler (glslangValidator) exactly as the driver receives it:
// after the #line insertion and the include preprocessor.
#include "engine/resources/ShaderCompiler.h"
#include "engine/resources/ShaderLoader.h"
#include "engine/resources/ShaderProgramLoader.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace {

const std::filesystem::path assets = std::filesystem::path(SKYSCUFFLE_SOURCE_DIR) / "assets";

const char* extensionOf(unsigned stage)
{
    switch (stage) {
    case kit::stage::vertex:
        return ".vert";
    case kit::stage::fragment:
        return ".frag";
    case kit::stage::geometry:
        return ".geom";
    case kit::stage::tessControl:
        return ".tesc";
    default:
        return ".tese";
    }
}

// Runs the validator; returns its exit status and output.
int validate(const std::filesystem::path& file, std::string& output)
{
    const std::string command = "glslangValidator \"" + file.string() + "\" 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    return pclose(pipe);
}

class GameShaders : public test::InTempDirectory {};

} // namespace

TEST_F(GameShaders, EveryStageCompilesWithTheReferenceCompiler)
{
    int stages = 0;
    for (const auto& entry : std::filesystem::directory_iterator(assets / "shaders")) {
        if (entry.path().extension() != ".txt")
            continue;
        std::ifstream file(entry.path());
        std::vector<kit::ShaderStageEntry> entries;
        kit::parseShaderProgram(file, entries);
        EXPECT_FALSE(entries.empty()) << entry.path();
        for (const auto& stage : entries) {
            const unsigned type = kit::stageOfType(stage.type);
            ASSERT_NE(type, 0u) << entry.path() << ": " << stage.type;
            const std::filesystem::path source = assets / stage.file;
            bool opened = false;
            const std::string text = kit::readSourceFile(source.string(), &opened);
            ASSERT_TRUE(opened) << source;
            const std::string prepared = kit::prepareShaderSource(source.string(), text);
            const std::string name = entry.path().stem().string() + "-" + std::to_string(stages) + extensionOf(type);
            std::ofstream(name) << prepared;
            std::string output;
            EXPECT_EQ(validate(name, output), 0) << entry.path().filename() << " " << stage.file << ":\n" << output;
            ++stages;
        }
    }
    EXPECT_GE(stages, 16); // eight programs of two stages
}
