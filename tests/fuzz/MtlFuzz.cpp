// The MTL reader's load half on arbitrary text.
#include "engine/resources/WavefrontMtlLoader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto entries = kit::parseMtl(std::string_view(reinterpret_cast<const char*>(data), size));
    if (entries.size() > size) // at most one material per "newmtl" line
        std::abort();
    return 0;
}
