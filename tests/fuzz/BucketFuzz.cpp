// The resource-bucket reader on arbitrary text.
#include "engine/core/ParseError.h"
#include "engine/resources/ResourceBucket.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
        (void)kit::parseResourceBucket(in);
    } catch (const kit::ParseError&) {
    }
    return 0;
}
