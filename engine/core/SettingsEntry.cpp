#include "SettingsEntry.h"

#include <algorithm>
#include <vector>

namespace kit {
namespace {

// Never destroyed: entries held by settings declared at namespace scope end
// after every function's statics, and still leave this list as they go.
std::vector<SettingsEntryBase*>& liveEntries()
{
    static auto* entries = new std::vector<SettingsEntryBase*>;
    return *entries;
}

} // namespace

SettingsEntryBase::SettingsEntryBase()
{
    liveEntries().push_back(this);
}

SettingsEntryBase::~SettingsEntryBase()
{
    auto& entries = liveEntries();
    entries.erase(std::remove(entries.begin(), entries.end(), this), entries.end());
}

void SettingsEntryBase::refreshAll()
{
    for (SettingsEntryBase* entry : liveEntries())
        entry->refresh();
}

template class SettingsEntry<bool>;
template class SettingsEntry<int>;
template class SettingsEntry<unsigned short>;
template class SettingsEntry<float>;
template class SettingsEntry<std::string>;

} // namespace kit
