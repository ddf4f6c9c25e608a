#pragma once

#include "SettingsEntry.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kit {

// What a setting is, as its list and its documentation show it.
struct SettingInfo {
    std::string key;      // "tuning.planePhysics.turnPower"
    std::string type;     // "number", "whole number", "port", "on/off", "text", "point"
    std::string fallback; // the default, written as the tuning file writes it
    std::string range;    // "0 to 5", "at least 0", or empty: any value of its type
    std::string help;     // one line
};

// A setting, declared once: its key, type, default, range and one line of
// help. Declarations live at namespace scope in the library that owns the
// setting (a "...Settings.cpp" next to the code that reads it); every other
// file reads the setting through its declaration, never by its key's text.
//
// The value follows the tuning table as `SettingsEntry` does (the run's, the
// player's, the file's or the default), and lands in the table the first
// time it is read, not before: the tuning file written at exit lists the keys
// in use. A value outside the range reads as the default, with one line on
// standard error per key and unusable value.
class SettingDeclaration {
public:
    SettingDeclaration(const SettingDeclaration&) = delete;
    SettingDeclaration& operator=(const SettingDeclaration&) = delete;

    const std::string& key() const { return key_; }
    virtual SettingInfo info() const = 0;

    // Every declaration linked into the program, in key order.
    static std::vector<const SettingDeclaration*> all();

protected:
    SettingDeclaration(const char* key, const char* help);
    // A declaration that ends (one a test made for a while) leaves the list.
    ~SettingDeclaration();

    std::string key_;
    std::string help_;
};

template <class T> struct SettingRange {
    std::optional<T> lowest;
    std::optional<T> highest;
};

template <class T> class Setting final : public SettingDeclaration {
public:
    Setting(const char* key, T fallback, const char* help, SettingRange<T> range = {});

    const T& value() const;
    operator const T&() const { return value(); }

    const T& fallback() const { return fallback_; }
    const SettingRange<T>& range() const { return range_; }
    // The live entry, for code that keeps or passes one; its value is not
    // checked against the range.
    SettingsEntry<T>& entry() const;

    SettingInfo info() const override;

private:
    T fallback_;
    SettingRange<T> range_;
    mutable std::unique_ptr<SettingsEntry<T>> live_;
};

// The declared settings as text: one line each, or a Markdown table.
std::string settingsList(bool markdown);

extern template class Setting<bool>;
extern template class Setting<int>;
extern template class Setting<unsigned short>;
extern template class Setting<float>;
extern template class Setting<std::string>;

} // namespace kit
