#include "GraphicsDriver.h"

#include <dlfcn.h>
#include <link.h>

#include <string>
#include <vector>

namespace {

// Mesa's drivers: the classic DRI modules and the Gallium library behind them.
bool isDriver(const std::string& path)
{
    return path.find("_dri.so") != std::string::npos || path.find("libgallium") != std::string::npos;
}

} // namespace

void keepGraphicsDriverLoaded()
{
    std::vector<std::string> drivers;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* found) {
            if (info->dlpi_name && isDriver(info->dlpi_name))
                static_cast<std::vector<std::string>*>(found)->emplace_back(info->dlpi_name);
            return 0;
        },
        &drivers);
    // Opened again without loading, marked never to be unloaded; the handle
    // is deliberately not closed.
    for (const std::string& driver : drivers)
        dlopen(driver.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}
