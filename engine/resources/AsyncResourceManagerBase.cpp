#include "AsyncResourceManagerBase.h"

#include "ResourceManagers.h"

#include <algorithm>

namespace kit {

AsyncResourceManagerBase::AsyncResourceManagerBase(const std::string& name) : name(name)
{
    all().push_back(this);
    if (!name.empty())
        byName()[name] = this;
}

AsyncResourceManagerBase::~AsyncResourceManagerBase()
{
    auto& list = all();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    auto named = byName().find(name);
    if (named != byName().end() && named->second == this)
        byName().erase(named);
}

std::vector<AsyncResourceManagerBase*>& AsyncResourceManagerBase::all()
{
    static std::vector<AsyncResourceManagerBase*> managers;
    return managers;
}

std::unordered_map<std::string, AsyncResourceManagerBase*>& AsyncResourceManagerBase::byName()
{
    static std::unordered_map<std::string, AsyncResourceManagerBase*> managers;
    return managers;
}

void AsyncResourceManagerBase::updateAll()
{
    ensureResourceManagers();
    // Indexed: a completion may make another manager (and so grow the list).
    for (std::size_t i = 0; i < all().size(); ++i)
        all()[i]->update();
}

bool AsyncResourceManagerBase::updateAll(std::chrono::steady_clock::duration budget)
{
    ensureResourceManagers();
    const Deadline deadline = std::chrono::steady_clock::now() + budget;
    bool ranOne = false;
    // Last made first: the managers of dependencies (shaders, textures) come
    // after the ones that wait for them (meshes, materials), so their jobs run
    // on their own, within the budget, instead of inside a waiting mesh's job.
    for (std::size_t i = all().size(); i-- > 0;) {
        if (!all()[i]->updateUntil(deadline, ranOne))
            break;
    }
    return ranOne;
}

AsyncResourceManagerBase* AsyncResourceManagerBase::find(const std::string& name)
{
    ensureResourceManagers();
    auto found = byName().find(name);
    return found == byName().end() ? nullptr : found->second;
}

} // namespace kit
