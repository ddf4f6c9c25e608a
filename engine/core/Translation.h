#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The words a player reads, in the player's language: gettext catalogs
// (domain "skyscuffle", one "<code>/LC_MESSAGES/skyscuffle.mo" per
// language), looked up by the English text. What the console, the log,
// peers and files carry stays English: only what is drawn is translated.
//
// Every translated text comes back in the bitmap font's bytes (see
// FontBytes.h), ready to draw; its length is its width in glyphs.
namespace kit {

// A language the game ships: its code and its name in itself.
struct Language {
    const char* code; // "de", "pt_BR"
    const char* name; // "Deutsch", in UTF-8
};

// English first, then the translations, in the order the Options screen offers them.
const std::vector<Language>& shippedLanguages();

// A pseudo-language for tests: English accented and about 40 % longer, in
// brackets, so that a text cut short or left untranslated shows.
inline constexpr const char* pseudoLanguage = "pseudo";

// Where the catalogs are: a folder of "<code>/LC_MESSAGES/skyscuffle.mo".
void setCatalogFolder(const std::filesystem::path& folder);

// Puts a language in force: a shipped code, the pseudo-language, or empty
// for the environment's (`languageOfEnvironment`). Anything else is English.
void setLanguage(const std::string& code);
// The language in force: a shipped code or the pseudo-language, never empty.
const std::string& currentLanguage();

// The shipped language the environment asks for, as gettext reads it:
// LANGUAGE's list first (its first entry we ship), then the first set of
// LC_ALL, LC_MESSAGES and LANG. "pt" and its other countries read as
// Brazilian Portuguese; the C locale and anything unknown as English.
std::string languageOfEnvironment();
// The same from given values, for tests (empty: unset).
std::string languageOf(std::string_view languageList, std::string_view all, std::string_view messages,
                       std::string_view lang);

// The text in the language in force, in the font's bytes. The English text
// is the key (xgettext finds it by this function's name).
std::string tr(const char* english);
// The same, or the English itself where `translated` is false: one text
// written once for the screen (translated) and for the log (English).
std::string tr(const char* english, bool translated);
// The singular or the plural form for `count`, as the language counts (or
// as English does where `translated` is false).
std::string trn(const char* singular, const char* plural, unsigned long count, bool translated = true);
// Marks a text for the catalogs where it is written (a table of constants)
// and returns it as it is: whoever shows it translates it with tr().
constexpr const char* trLater(const char* english)
{
    return english;
}

// A translated pattern with its "{1}" to "{9}" replaced by the arguments in
// order (a translation may move them about); any other brace stays.
std::string format(std::string_view pattern, std::initializer_list<std::string_view> arguments);

// The pseudo-language's form of a text.
std::string pseudoTranslation(std::string_view english);

} // namespace kit
