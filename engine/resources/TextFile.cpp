#include "TextFile.h"

#include <fstream>
#include <sstream>

namespace kit {

std::string readTextFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {};
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace kit
