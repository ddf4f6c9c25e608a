#include "SoftwareRenderer.h"

#include <GL/glew.h>

namespace kit {

bool isSoftwareRendererName(std::string_view renderer)
{
    for (const std::string_view software : {"llvmpipe", "softpipe", "Software Rasterizer", "SWR"}) {
        if (renderer.find(software) != std::string_view::npos)
            return true;
    }
    return false;
}

bool contextDrawsInSoftware()
{
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return renderer && isSoftwareRendererName(renderer);
}

} // namespace kit
