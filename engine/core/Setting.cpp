#include "Setting.h"

#include "Log.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <type_traits>

namespace kit {
namespace {

// Never destroyed, as declarations leave it at the very end.
std::vector<const SettingDeclaration*>& declarations()
{
    static auto* all = new std::vector<const SettingDeclaration*>;
    return *all;
}

template <class T> std::string text(const T& value)
{
    if constexpr (std::is_same_v<T, std::string>)
        return value;
    else if constexpr (std::is_same_v<T, bool>)
        return value ? "1" : "0";
    else {
        std::ostringstream out;
        out << +value;
        return out.str();
    }
}

template <class T> const char* typeName()
{
    if constexpr (std::is_same_v<T, bool>)
        return "on/off";
    else if constexpr (std::is_same_v<T, int>)
        return "whole number";
    else if constexpr (std::is_same_v<T, unsigned short>)
        return "port";
    else if constexpr (std::is_same_v<T, float>)
        return "number";
    else
        return "text";
}

template <class T> std::string rangeText(const SettingRange<T>& range)
{
    if (range.lowest && range.highest)
        return text(*range.lowest) + " to " + text(*range.highest);
    if (range.lowest)
        return "at least " + text(*range.lowest);
    if (range.highest)
        return "at most " + text(*range.highest);
    return {};
}

template <class T> bool within(const T& value, const SettingRange<T>& range)
{
    if constexpr (std::is_same_v<T, float>) {
        if (!std::isfinite(value))
            return false;
    }
    if constexpr (std::is_arithmetic_v<T> && !std::is_same_v<T, bool>) {
        if (range.lowest && value < *range.lowest)
            return false;
        if (range.highest && value > *range.highest)
            return false;
    }
    return true;
}

// The last unusable value told per key: a value read every frame is told once.
template <class T> void tell(const std::string& key, const T& value, const SettingRange<T>& range, const T& fallback)
{
    static std::map<std::string, std::string> told;
    const std::string shown = text(value);
    const auto known = told.find(key);
    if (known != told.end() && known->second == shown)
        return;
    told[key] = shown;
    std::string wanted;
    if (range.lowest && range.highest)
        wanted = "from " + text(*range.lowest) + " to " + text(*range.highest);
    else if (range.lowest)
        wanted = "of at least " + text(*range.lowest);
    else if (range.highest)
        wanted = "of at most " + text(*range.highest);
    log::warn() << "Tuning value " << key << " = " << shown << " is not usable (a number " << wanted << "); "
                << text(fallback) << " is used";
}

} // namespace

SettingDeclaration::SettingDeclaration(const char* key, const char* help) : key_(key), help_(help)
{
    declarations().push_back(this);
}

SettingDeclaration::~SettingDeclaration()
{
    auto& all = declarations();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

std::vector<const SettingDeclaration*> SettingDeclaration::all()
{
    std::vector<const SettingDeclaration*> sorted = declarations();
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const SettingDeclaration* a, const SettingDeclaration* b) { return a->key() < b->key(); });
    return sorted;
}

template <class T>
Setting<T>::Setting(const char* key, T fallback, const char* help, SettingRange<T> range)
    : SettingDeclaration(key, help), fallback_(std::move(fallback)), range_(std::move(range))
{
}

template <class T> SettingsEntry<T>& Setting<T>::entry() const
{
    if (!live_)
        live_ = std::make_unique<SettingsEntry<T>>(key_, fallback_);
    return *live_;
}

template <class T> const T& Setting<T>::value() const
{
    const T& value = entry().value;
    if (within(value, range_))
        return value;
    tell(key_, value, range_, fallback_);
    return fallback_;
}

template <class T> SettingInfo Setting<T>::info() const
{
    return {key_, typeName<T>(), text(fallback_), rangeText(range_), help_};
}

std::string settingsList(bool markdown)
{
    std::ostringstream out;
    if (markdown)
        out << "| Key | Type | Default | Range | |\n|---|---|---|---|---|\n";
    for (const SettingDeclaration* declaration : SettingDeclaration::all()) {
        SettingInfo info = declaration->info();
        // The tuning file and the player's file write keys without "tuning.".
        const std::string key = info.key.starts_with("tuning.") ? info.key.substr(7) : info.key;
        if (markdown)
            out << "| `" << key << "` | " << info.type << " | " << info.fallback << " | " << info.range << " | "
                << info.help << " |\n";
        else
            out << key << " (" << info.type << (info.range.empty() ? "" : ", " + info.range) << ", default "
                << info.fallback << "): " << info.help << "\n";
    }
    return out.str();
}

template class Setting<bool>;
template class Setting<int>;
template class Setting<unsigned short>;
template class Setting<float>;
template class Setting<std::string>;

} // namespace kit
