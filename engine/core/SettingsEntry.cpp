#include "SettingsEntry.h"

#include <algorithm>
#include <vector>

namespace kit {
namespace {

std::vector<SettingsEntryBase*>& liveEntries()
{
    static std::vector<SettingsEntryBase*> entries;
    return entries;
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
