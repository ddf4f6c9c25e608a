#include "ViewLog.h"

#include "engine/core/Log.h"

#include <chrono>
#include <cstdio>
#include <memory>

namespace skyscuffle::viewLog {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
std::unique_ptr<std::FILE, FileCloser> file;

double wall()
{
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

void event(const char* kind, kit::EntityID bullet, kit::EntityID plane)
{
    if (file)
        std::fprintf(file.get(), "%s %.6f %08x:%u %08x:%u\n", kind, wall(), bullet.origin, bullet.serial, plane.origin,
                     plane.serial);
}

} // namespace

bool open(const std::string& path, std::uint32_t origin)
{
    file.reset(std::fopen(path.c_str(), "w"));
    if (!file) {
        kit::log::warn() << "The view log " << path << " cannot be written; nothing is logged";
        return false;
    }
    std::fprintf(file.get(), "copy %08x\n", origin);
    return true;
}

void close()
{
    file.reset();
}

bool active()
{
    return file != nullptr;
}

void plane(kit::EntityID plane, glm::vec3 position)
{
    if (file)
        std::fprintf(file.get(), "p %.6f %08x:%u %.3f %.3f\n", wall(), plane.origin, plane.serial, position.x,
                     position.y);
}

void seen(kit::EntityID bullet, kit::EntityID plane)
{
    event("seen", bullet, plane);
}

void counted(kit::EntityID bullet, kit::EntityID plane)
{
    event("counted", bullet, plane);
}

} // namespace skyscuffle::viewLog
