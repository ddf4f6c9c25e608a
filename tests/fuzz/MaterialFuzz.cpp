// The material-file reader on arbitrary text: parse errors are expected,
// anything else is not.
#include "engine/core/ParseError.h"
#include "engine/resources/MaterialLoader.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    kit::MaterialDescription material;
    try {
        kit::parseMaterial(in, material);
    } catch (const kit::ParseError&) {
    }
    return 0;
}
