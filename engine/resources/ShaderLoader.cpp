#include "ShaderLoader.h"

#include "ShaderCompiler.h"

#include "engine/render/state/RenderState.h"

#include <GL/glew.h>

#include <fstream>

namespace kit {

Shader::~Shader()
{
    if (id != 0 && RenderState::contextAlive())
        glDeleteShader(id);
}

std::string readSourceFile(const std::string& path, bool* opened)
{
    std::ifstream file(path);
    if (opened)
        *opened = static_cast<bool>(file);
    std::string source;
    for (std::string line; std::getline(file, line);)
        source += line + "\n";
    return source;
}

template <unsigned Stage>
void ShaderLoader<Stage>::load()
{
    source = readSourceFile(fullPath);
}

template <unsigned Stage>
void ShaderLoader<Stage>::finish()
{
    target->id = glCreateShader(Stage);
    compileShader(target->id, fullPath, source);
}

template class ShaderLoader<stage::vertex>;
template class ShaderLoader<stage::fragment>;
template class ShaderLoader<stage::geometry>;
template class ShaderLoader<stage::tessControl>;
template class ShaderLoader<stage::tessEvaluation>;

} // namespace kit
