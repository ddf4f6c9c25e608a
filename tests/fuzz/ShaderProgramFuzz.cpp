// The shader-program file reader on arbitrary text, and the include
// preprocessor on arbitrary GLSL (includes resolve to no file here).
#include "engine/core/ParseError.h"
#include "engine/resources/ShaderCompiler.h"
#include "engine/resources/ShaderProgramLoader.h"

#include <cstdlib>
#include <iostream>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = [] {
        std::cerr.rdbuf(nullptr); // "Could not include" lines are expected here
        return true;
    }();
    (void)quiet;

    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream in(text);
    std::vector<kit::ShaderStageEntry> entries;
    try {
        kit::parseShaderProgram(in, entries);
    } catch (const kit::ParseError&) {
    }
    for (const auto& entry : entries)
        (void)kit::stageOfType(entry.type);

    int includes = -1;
    const std::string prepared = kit::prepareShaderSource("/nonexistent/fuzz.frag", text, &includes);
    if (includes != 0 || prepared.size() > text.size() + 16)
        std::abort(); // nothing can be inserted, only directives removed
    return 0;
}
