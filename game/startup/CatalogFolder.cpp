#include "CatalogFolder.h"

#include "engine/core/Translation.h"

#include <system_error>

namespace skyscuffle {

namespace {

bool holdsCatalogs(const std::filesystem::path& folder)
{
    std::error_code error;
    for (const kit::Language& language : kit::shippedLanguages()) {
        if (std::filesystem::is_regular_file(folder / language.code / "LC_MESSAGES" / "skyscuffle.mo", error))
            return true;
    }
    return false;
}

} // namespace

std::filesystem::path findCatalogFolder(const DataDirectory& data, const std::filesystem::path& executable)
{
    std::filesystem::path candidates[2];
    if (!executable.empty())
        candidates[0] = executable.parent_path().parent_path() / "locale";
    if (data.found())
        candidates[1] = data.directory.parent_path() / "locale";
    for (const auto& folder : candidates) {
        if (!folder.empty() && holdsCatalogs(folder))
            return folder;
    }
    return {};
}

} // namespace skyscuffle
