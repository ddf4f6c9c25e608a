// The OBJ reader's load half on arbitrary text: no crash, no read outside the
// source arrays, and every group expands to whole triangles.
#include "engine/resources/ObjLoader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const kit::ObjData obj = kit::parseObj(std::string_view(reinterpret_cast<const char*>(data), size), "models/");
    for (const auto& [name, group] : obj.groups) {
        if (group.positions.size() % 3 != 0 || group.normals.size() != group.positions.size() ||
            group.uvs.size() != group.positions.size())
            std::abort();
    }
    return 0;
}
