#include "Translation.h"

#include "FontBytes.h"
#include "Log.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <libintl.h>
#include <mutex>
#include <unordered_map>

// glibc's count of catalog changes: raised, it makes gettext forget what it
// looked up under the previous LANGUAGE (the way the gettext manual gives
// for changing language in a running program).
extern "C" int _nl_msg_cat_cntr;

namespace kit {

namespace {

constexpr const char* domain = "skyscuffle";

struct TranslationState {
    std::mutex mutex;
    std::string language = "en";
    std::filesystem::path folder;
    std::unordered_map<std::string, std::string> looked; // English -> font bytes
};

TranslationState& state()
{
    static TranslationState s;
    return s;
}

bool shipped(std::string_view code)
{
    for (const Language& l : shippedLanguages()) {
        if (code == l.code)
            return true;
    }
    return false;
}

// A locale name's language and country ("de_AT.UTF-8@euro" -> "de", "AT")
// as one of ours, or empty.
std::string shippedOf(std::string_view locale)
{
    const std::size_t end = locale.find_first_of(".@");
    const std::string_view name = locale.substr(0, end);
    const std::string_view language = name.substr(0, name.find('_'));
    if (name.empty() || name == "C" || name == "POSIX")
        return {};
    if (language == "pt")
        return "pt_BR";
    if (shipped(language))
        return std::string(language);
    return {};
}

// The texts gettext hands out belong to LANGUAGE only where messages are
// not in the C locale; the C locale's UTF-8 twin is always there.
void allowCatalogs()
{
    const char* now = std::setlocale(LC_MESSAGES, nullptr);
    if (!now || std::strcmp(now, "C") == 0 || std::strcmp(now, "POSIX") == 0)
        std::setlocale(LC_MESSAGES, "C.UTF-8");
}

// LANGUAGE as the environment gave it: setLanguage sets the variable for
// gettext, which must not change what the environment asked for.
const std::string& givenLanguageList()
{
    static const std::string given = [] {
        const char* value = std::getenv("LANGUAGE");
        return std::string(value ? value : "");
    }();
    return given;
}

} // namespace

const std::vector<Language>& shippedLanguages()
{
    static const std::vector<Language> languages{{"en", "English"},
                                                 {"de", "Deutsch"},
                                                 {"fr", "Fran\u00e7ais"},
                                                 {"es", "Espa\u00f1ol"},
                                                 {"pt_BR", "Portugu\u00eas (Brasil)"}};
    return languages;
}

void setCatalogFolder(const std::filesystem::path& folder)
{
    TranslationState& s = state();
    const std::lock_guard lock(s.mutex);
    s.folder = folder;
    bindtextdomain(domain, folder.c_str());
    bind_textdomain_codeset(domain, "UTF-8");
    s.looked.clear();
}

void setLanguage(const std::string& code)
{
    givenLanguageList(); // read before it is ever set here
    std::string chosen = code.empty() ? languageOfEnvironment() : code;
    if (chosen != pseudoLanguage && !shipped(chosen)) {
        log::warn() << "No language \"" << code << "\": English instead";
        chosen = "en";
    }
    TranslationState& s = state();
    const std::lock_guard lock(s.mutex);
    s.language = chosen;
    s.looked.clear();
    if (chosen != "en" && chosen != pseudoLanguage) {
        allowCatalogs();
        setenv("LANGUAGE", chosen.c_str(), 1);
        ++_nl_msg_cat_cntr;
    }
}

const std::string& currentLanguage()
{
    return state().language;
}

std::string languageOf(std::string_view languageList, std::string_view all, std::string_view messages,
                       std::string_view lang)
{
    // As in gettext, LANGUAGE counts unless messages are in the plain C
    // locale (set so, or no locale set at all).
    const std::string_view locale = !all.empty() ? all : !messages.empty() ? messages : lang;
    if (locale.empty() || locale == "C" || locale == "POSIX")
        return "en";
    std::string_view list = languageList;
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        const std::string found = shippedOf(list.substr(0, colon));
        if (!found.empty())
            return found;
        list = colon == std::string_view::npos ? std::string_view{} : list.substr(colon + 1);
    }
    const std::string found = shippedOf(locale);
    return found.empty() ? "en" : found;
}

std::string languageOfEnvironment()
{
    const auto read = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string_view(value ? value : "");
    };
    return languageOf(givenLanguageList(), read("LC_ALL"), read("LC_MESSAGES"), read("LANG"));
}

std::string tr(const char* english)
{
    if (!english || !*english)
        return {}; // gettext's answer to "" is the catalog's header
    TranslationState& s = state();
    const std::lock_guard lock(s.mutex);
    if (s.language == "en")
        return fontBytes(english);
    if (s.language == pseudoLanguage)
        return pseudoTranslation(english);
    auto [at, added] = s.looked.try_emplace(english);
    if (added)
        at->second = fontBytes(dgettext(domain, english));
    return at->second;
}

std::string tr(const char* english, bool translated)
{
    return translated ? tr(english) : std::string(english ? english : "");
}

std::string trn(const char* singular, const char* plural, unsigned long count, bool translated)
{
    if (!translated)
        return count == 1 ? singular : plural;
    TranslationState& s = state();
    std::string language;
    {
        const std::lock_guard lock(s.mutex);
        language = s.language;
    }
    if (language == "en" || language == pseudoLanguage)
        return tr(count == 1 ? singular : plural);
    return fontBytes(dngettext(domain, singular, plural, count));
}

std::string format(std::string_view pattern, std::initializer_list<std::string_view> arguments)
{
    std::string out;
    out.reserve(pattern.size() + 16);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9' &&
            pattern[i + 2] == '}') {
            const auto index = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (index < arguments.size()) {
                out += *(arguments.begin() + index);
                i += 2;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

std::string pseudoTranslation(std::string_view english)
{
    // Each plain letter with an accent the font has (Latin-1).
    static const std::unordered_map<char, const char*> accented{
        {'a', "\u00e1"}, {'e', "\u00e9"}, {'i', "\u00ee"}, {'o', "\u00f6"}, {'u', "\u00fc"}, {'c', "\u00e7"},
        {'n', "\u00f1"}, {'y', "\u00fd"}, {'A', "\u00c5"}, {'E', "\u00c9"}, {'I', "\u00cf"}, {'O', "\u00d8"},
        {'U', "\u00db"}, {'C', "\u00c7"}, {'N', "\u00d1"}, {'Y', "\u00dd"}};
    std::string out;
    std::size_t lineStart = 0;
    while (lineStart <= english.size()) {
        const std::size_t end = std::min(english.find('\n', lineStart), english.size());
        const std::string_view line = english.substr(lineStart, end - lineStart);
        std::string shown = "[";
        for (std::size_t i = 0; i < line.size(); ++i) {
            // Placeholders stay as they are, for format() to fill.
            if (line[i] == '{' && i + 2 < line.size() && line[i + 2] == '}') {
                shown += line.substr(i, 3);
                i += 2;
                continue;
            }
            const auto found = accented.find(line[i]);
            shown += found != accented.end() ? std::string(found->second) : std::string(1, line[i]);
        }
        // About 40 % longer than English, the brackets included.
        const auto longer = static_cast<long>(std::lround(0.4 * static_cast<double>(line.size()))) - 2;
        shown.append(static_cast<std::size_t>(std::max(0L, longer)), '~');
        shown += "]";
        out += fontBytes(shown);
        if (end == english.size())
            break;
        out += '\n';
        lineStart = end + 1;
    }
    return out;
}

} // namespace kit
