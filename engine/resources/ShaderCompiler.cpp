#include "ShaderCompiler.h"

#include "engine/core/Log.h"

#include "Resourceloader.h"

#include <GL/glew.h>

#include <algorithm>
#include <fstream>
#include <vector>

namespace kit {

namespace {

// A top-level text, its includes and theirs: deeper nesting (a file that
// includes itself, say) is refused, which also keeps the line numbers below
// 2^31 (the n-th file of a depth has number (parent number * 10000 + n)).
constexpr int maxIncludeDepth = 2;

int preprocess(std::string& text, long long fileNumber, const std::string& baseDirectory, int depth)
{
    static const std::string directive = "#include";
    int inserted = 0;
    int counter = 0;
    std::size_t scanned = 0; // where the previous line count stopped
    int line = 1;
    std::size_t at = 0;
    while ((at = text.find(directive, at)) != std::string::npos) {
        line += static_cast<int>(std::count(text.begin() + static_cast<long>(scanned),
                                            text.begin() + static_cast<long>(at), '\n'));
        scanned = at;
        ++counter;
        const long long number = fileNumber + counter;

        const std::size_t open = text.find('"', at);
        const std::size_t close = open == std::string::npos ? std::string::npos : text.find('"', open + 1);
        if (close == std::string::npos)
            break;
        const std::string name = text.substr(open + 1, close - open - 1);
        std::size_t lineEnd = text.find('\n', at);
        if (lineEnd == std::string::npos)
            lineEnd = text.size();

        std::ifstream file(baseDirectory + name);
        if (!file || depth >= maxIncludeDepth) {
            log::warn() << "Could not include \"" << baseDirectory << name << "\""
                        << (file ? " (includes nested too deeply)" : "");
            text.erase(at, lineEnd - at);
            continue;
        }
        // The file's own includes first, so that its line numbers are its own.
        std::string body;
        for (std::string fileLine; std::getline(file, fileLine);)
            body += fileLine + "\n";
        inserted += 1 + preprocess(body, number * 10000, directoryOf(baseDirectory + name), depth + 1);
        const std::string block =
            "#line " + std::to_string(number * 10000 + 1) + "\n" + body + "#line " + std::to_string(line) + "\n";
        text.replace(at, lineEnd - at, block);
        at += block.size();
        // The directive's own line is replaced, not counted again.
        scanned = at;
    }
    return inserted;
}

} // namespace

int preprocessIncludes(std::string& text, int fileNumber, const std::string& baseDirectory)
{
    return preprocess(text, fileNumber, baseDirectory, 0);
}

std::string prepareShaderSource(const std::string& name, std::string source, int* includes)
{
    // Includes first, counting the file's own lines; then the #line that keeps
    // the driver's numbering on the file's.
    const int count = preprocessIncludes(source, 0, directoryOf(name));
    if (!name.empty()) {
        const std::size_t version = source.find("#version");
        const std::size_t lineEnd = version == std::string::npos ? std::string::npos : source.find('\n', version);
        // "#line 2" on a line of its own right after the version line: the
        // line after the directive is the file's second line.
        if (lineEnd != std::string::npos)
            source.insert(lineEnd, "\n#line 2");
        else
            source.insert(0, "\n#line 1\n");
    }
    if (includes)
        *includes = count;
    return source;
}

void compileShader(unsigned shaderId, const std::string& name, std::string source)
{
    int includes = 0;
    const std::string text = prepareShaderSource(name, std::move(source), &includes);
    const GLchar* data = text.data();
    const GLint length = static_cast<GLint>(text.size());
    glShaderSource(shaderId, 1, &data, &length);
    glCompileShader(shaderId);

    GLint status = GL_FALSE;
    glGetShaderiv(shaderId, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE)
        return;
    GLint logLength = 0;
    glGetShaderiv(shaderId, GL_INFO_LOG_LENGTH, &logLength);
    std::vector<GLchar> log(static_cast<std::size_t>(std::max(logLength, 1)), '\0');
    glGetShaderInfoLog(shaderId, logLength, nullptr, log.data());
    // One entry of the log, with the driver's lines (which end in a newline
    // of their own) and a blank line after them as ever.
    auto line = kit::log::error();
    line << "Errors compiling \"" << (name.empty() ? "shader" : name) << "\":\n";
    if (includes > 0)
        line << "Note: if the line number is 5 digits long, the first digit refers to which\n"
                "included file the error occured in.\n";
    line << log.data() << "\n";
}

} // namespace kit
