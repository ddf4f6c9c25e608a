#include "AssetPath.h"

#include "engine/core/Log.h"

#include <string>

namespace kit {

bool staysInAssets(std::string_view path)
{
    if ((!path.empty() && path.front() == '/') || path.find('\\') != std::string_view::npos ||
        path.find('\0') != std::string_view::npos)
        return false;
    // How deep below the starting directory each segment leaves the name.
    int depth = 0;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view segment = path.substr(start, end - start);
        if (segment == "..") {
            if (--depth < 0)
                return false;
        } else if (!segment.empty() && segment != ".") {
            ++depth;
        }
        start = end + 1;
    }
    return true;
}

bool acceptAssetPath(std::string_view path)
{
    if (staysInAssets(path))
        return true;
    constexpr std::size_t shown = 200;
    std::string printable;
    for (char c : path.substr(0, shown))
        printable += (c >= ' ' && c <= '~') ? c : '?';
    log::warn() << "Refused to load a resource outside the asset directory: \"" << printable << "\""
                << (path.size() > shown ? "..." : "");
    return false;
}

} // namespace kit
