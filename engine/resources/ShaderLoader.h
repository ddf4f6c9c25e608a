#pragma once

#include "Resourceloader.h"
#include "Shader.h"

namespace kit {

// One shader stage from a GLSL file: read on any thread, compiled on the main one.
template <unsigned Stage>
class ShaderLoader : public Resourceloader<Shader> {
public:
    void load() override;
    void finish() override;

    std::string source;
};

// The stage text of a file, each line followed by "\n"; empty when it cannot be read.
std::string readSourceFile(const std::string& path, bool* opened = nullptr);

extern template class ShaderLoader<stage::vertex>;
extern template class ShaderLoader<stage::fragment>;
extern template class ShaderLoader<stage::geometry>;
extern template class ShaderLoader<stage::tessControl>;
extern template class ShaderLoader<stage::tessEvaluation>;

} // namespace kit
