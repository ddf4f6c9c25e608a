#include "SoftwareRenderer.h"

namespace kit {

bool isSoftwareRendererName(std::string_view renderer)
{
    for (const std::string_view software : {"llvmpipe", "softpipe", "Software Rasterizer", "SWR"}) {
        if (renderer.find(software) != std::string_view::npos)
            return true;
    }
    return false;
}

} // namespace kit
