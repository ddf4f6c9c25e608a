#pragma once

#include "Resourceloader.h"
#include "ShaderProgram.h"

#include <istream>
#include <string>
#include <vector>

namespace kit {

// One entry of a shader-program file: `{ type vertex key "shaders/x.vert" }`,
// or with `data "..."` for an inline source.
struct ShaderStageEntry {
    std::string type; // "vertex", "fragment", "geometry", "tess control", "tess evaluation"
    std::string file;
    std::string data;
};

// The stage enumerant of a program-file type; 0 for an unknown type.
unsigned stageOfType(const std::string& type);

// Parses a program file: '[' then braced entries of key/value token pairs,
// up to ']'. Throws ParseError on a malformed list; the entries read until
// then are in `entries`.
void parseShaderProgram(std::istream& in, std::vector<ShaderStageEntry>& entries);

// Shader programs: the file and every stage source are read on any thread;
// compiling and linking happen on the main one.
class ShaderProgramLoader : public Resourceloader<ShaderProgram> {
public:
    struct Stage {
        unsigned stage = 0;
        std::string source;
        std::string name; // the file the source came from; empty for inline source
        std::string data;
    };

    void load() override;
    void finish() override;

    std::vector<Stage> stages;
};

} // namespace kit
