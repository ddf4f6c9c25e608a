#include "ShaderProgramLoader.h"

#include "AssetPath.h"
#include "ShaderCompiler.h"
#include "ShaderLoader.h"

#include "engine/core/Log.h"
#include "engine/core/ParseError.h"
#include "engine/core/Settings.h"
#include "engine/core/TextParser.h"

#include <GL/glew.h>

#include <fstream>
#include <utility>

namespace kit {

unsigned stageOfType(const std::string& type)
{
    if (type == "vertex")
        return stage::vertex;
    if (type == "fragment")
        return stage::fragment;
    if (type == "geometry")
        return stage::geometry;
    if (type == "tess control")
        return stage::tessControl;
    if (type == "tess evaluation")
        return stage::tessEvaluation;
    return 0;
}

void parseShaderProgram(std::istream& in, std::vector<ShaderStageEntry>& entries)
{
    TextParser parser(in);
    parser.expect('[');
    while (!parser.accept(']')) {
        if (in.peek() == std::char_traits<char>::eof())
            return; // a list left open ends with the input
        parser.expect('{');
        ShaderStageEntry entry;
        while (!parser.accept('}')) {
            if (in.peek() == std::char_traits<char>::eof())
                break;
            const std::string key = parser.readString();
            const std::string value = parser.readString();
            if (key.empty() && value.empty()) {
                parser.expect('}'); // neither a token nor the end: a syntax error
                break;
            }
            if (key == "type")
                entry.type = value;
            else if (key == "key")
                entry.file = value;
            else if (key == "data")
                entry.data = value;
        }
        entries.push_back(std::move(entry));
    }
}

void ShaderProgramLoader::load()
{
    std::vector<ShaderStageEntry> entries;
    std::ifstream file(fullPath);
    try {
        parseShaderProgram(file, entries);
    } catch (const ParseError& error) {
        log::warn() << fullPath << ": " << error.what();
    }

    for (const ShaderStageEntry& entry : entries) {
        Stage stage{stageOfType(entry.type), {}, {}, entry.data};
        if (stage.stage == 0) {
            log::warn() << fullPath << ": unknown shader stage type \"" << entry.type << "\"";
            continue;
        }
        if (entry.file.empty()) {
            stage.source = entry.data;
            stages.push_back(std::move(stage));
            continue;
        }
        // Paths are relative to the asset directory, or else to the program
        // file; a way out of the assets is not taken.
        const bool fromAssets = staysInAssets(entry.file);
        const bool fromProgram = staysInAssets(directory + entry.file);
        if (!fromAssets && !fromProgram) {
            acceptAssetPath(entry.file); // says so
            continue;
        }
        for (const auto& [candidate, allowed] : {std::pair{settings::assetDirectory() + entry.file, fromAssets},
                                                 std::pair{fullDirectory + entry.file, fromProgram}}) {
            if (!allowed)
                continue;
            bool opened = false;
            std::string source = readSourceFile(candidate, &opened);
            if (opened) {
                stage.source = std::move(source);
                stage.name = candidate;
                break;
            }
        }
        if (stage.name.empty()) {
            log::warn() << "Could not open " << entry.file;
            continue;
        }
        stages.push_back(std::move(stage));
    }
}

void ShaderProgramLoader::finish()
{
    for (const Stage& stage : stages) {
        const GLuint shader = glCreateShader(stage.stage);
        compileShader(shader, stage.name, stage.source);
        target->attach(shader);
        glDeleteShader(shader); // lives on while attached
    }
    target->link(path);
}

} // namespace kit
