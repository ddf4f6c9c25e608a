#include "ResourceBucket.h"

#include "AssetPath.h"

#include "AsyncResourceManagerBase.h"

#include "engine/core/Log.h"
#include "engine/core/Settings.h"
#include "engine/core/TextParser.h"

#include <fstream>

namespace kit {

int ResourceBucket::countLoaded() const
{
    int loaded = 0;
    for (const auto& entry : entries)
        loaded += entry.isLoaded();
    return loaded;
}

bool ResourceBucket::isLoaded() const
{
    for (const auto& entry : entries) {
        if (!entry.isLoaded())
            return false;
    }
    return true;
}

std::vector<std::pair<std::string, std::string>> parseResourceBucket(std::istream& in)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    TextParser parser(in);
    parser.expect('[');
    for (;;) {
        parser.skip();
        if (parser.accept(']') || in.peek() == std::char_traits<char>::eof())
            break;
        std::string type = parser.readString();
        std::string path = parser.readString();
        if (type.empty() && path.empty()) {
            in.get(); // neither a token nor ']': step over the character
            continue;
        }
        if (!path.empty())
            pairs.emplace_back(std::move(type), std::move(path));
    }
    return pairs;
}

ResourceBucket loadResourceBucket(const std::string& path)
{
    ResourceBucket bucket;
    if (!acceptAssetPath(path))
        return bucket;
    std::ifstream file(settings::assetDirectory() + path);
    if (!file) {
        log::error() << "Could not load resource bucket: " << path;
        return bucket;
    }
    for (const auto& [type, resource] : parseResourceBucket(file)) {
        if (AsyncResourceManagerBase* manager = AsyncResourceManagerBase::find(type))
            bucket.entries.push_back(manager->prefetchUntyped(resource));
    }
    return bucket;
}

} // namespace kit
