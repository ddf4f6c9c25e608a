#pragma once

#include "Settings.h"

#include <string>

namespace kit {

// A tuning value that follows reloads of the table. Code keeps these as
// function-level statics next to the code that uses them:
//     static kit::SettingsEntry<float> turnPower("tuning.planePhysics.turnPower", 0.2f);
class SettingsEntryBase {
public:
    SettingsEntryBase();
    SettingsEntryBase(const SettingsEntryBase&) = delete;
    SettingsEntryBase& operator=(const SettingsEntryBase&) = delete;
    virtual ~SettingsEntryBase();

    virtual void refresh() = 0;

    // Refreshes every live entry (after the table was loaded).
    static void refreshAll();
};

template <class T>
class SettingsEntry : public SettingsEntryBase {
public:
    SettingsEntry(const std::string& key, const T& fallback)
        : value(settings::get<T>(key, fallback)), key(key), fallback_(fallback)
    {
    }

    // Takes the table's value when the table has the key. A key can only be
    // missing once a player's choice made before the code asked was cleared:
    // the default comes back then.
    void refresh() override { value = settings::get<T>(key, settings::has(key) ? value : fallback_); }

    operator const T&() const { return value; }

    T value;
    std::string key;

private:
    T fallback_;
};

extern template class SettingsEntry<bool>;
extern template class SettingsEntry<int>;
extern template class SettingsEntry<unsigned short>;
extern template class SettingsEntry<float>;
extern template class SettingsEntry<std::string>;

} // namespace kit
