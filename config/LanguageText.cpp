#include "config/LanguageText.h"
#include "base/AsciiText.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "base/WideString.h"
#include "config/AppPaths.h"
#include "config/Settings.h"

namespace keyloft {

namespace {

std::atomic<int> gLanguageId{1033};

// What a 260-character read buffer holds besides its terminator.
constexpr std::size_t kMaxTextLength = 259;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return EqualsIgnoringAsciiCase(a, b);
}

struct LocaleId {
    const char* prefix;  // language, or language_TERRITORY
    int id;
};

// Longer (territory) entries come before their language's default.
constexpr LocaleId kLocales[] = {
    {"en_GB", 2057}, {"en_AU", 3081}, {"en_CA", 4105}, {"en", 1033},
    {"zh_TW", 1028}, {"zh_HK", 3076}, {"zh_SG", 4100}, {"zh", 2052},
    {"pt_PT", 2070}, {"pt", 1046},
    {"es_MX", 2058}, {"es", 1034},
    {"de_AT", 3079}, {"de_CH", 2055}, {"de", 1031},
    {"fr_CA", 3084}, {"fr_BE", 2060}, {"fr_CH", 4108}, {"fr", 1036},
    {"it", 1040}, {"ja", 1041}, {"ko", 1042}, {"nl", 1043}, {"nb", 1044}, {"no", 1044},
    {"pl", 1045}, {"ru", 1049}, {"sv", 1053}, {"tr", 1055}, {"uk", 1058}, {"cs", 1029},
    {"da", 1030}, {"el", 1032}, {"fi", 1035}, {"he", 1037}, {"hu", 1038}, {"ar", 1025},
    {"th", 1054}, {"vi", 1066}, {"id", 1057}, {"ro", 1048}, {"sk", 1051}, {"bg", 1026},
};

}  // namespace

int CurrentLanguageId() { return gLanguageId.load(std::memory_order_relaxed); }
void SetCurrentLanguageId(int id) { gLanguageId.store(id, std::memory_order_relaxed); }

std::string LanguageFilePath(int id) { return ProgramDirectory() + "language/" + std::to_string(id) + ".lan"; }

std::wstring ReadLanguageFileText(const std::string& path, std::wstring_view section, int id) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream all;
    all << in.rdbuf();
    std::string contents = all.str();
    std::string_view rest(contents);
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);

    const std::string wantSection = WideToUtf8(section);
    const std::string wantKey = std::to_string(id);
    bool inSection = false;
    while (!rest.empty()) {
        std::size_t eol = rest.find('\n');
        std::string_view line = Trim(rest.substr(0, eol));
        rest.remove_prefix(eol == std::string_view::npos ? rest.size() : eol + 1);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            std::size_t close = line.find(']');
            inSection = close != std::string_view::npos && SameIgnoringCase(Trim(line.substr(1, close - 1)), wantSection);
            continue;
        }
        if (!inSection) continue;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (!SameIgnoringCase(Trim(line.substr(0, eq)), wantKey)) continue;
        std::string_view value = Trim(line.substr(eq + 1));
        // A value written between matching quotes keeps its outer spaces.
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        std::wstring text = Utf8ToWide(value);
        if (text.size() > kMaxTextLength) text.resize(kMaxTextLength);
        return text;
    }
    return {};
}

std::wstring GetLanguageText(std::wstring_view section, int id) {
    return ReadLanguageFileText(LanguageFilePath(CurrentLanguageId()), section, id);
}

int LanguageIdFromLocaleName(std::string_view locale) {
    // language[_TERRITORY][.codeset][@modifier]
    std::size_t cut = locale.find_first_of(".@");
    if (cut != std::string_view::npos) locale = locale.substr(0, cut);
    if (locale.empty() || locale == "C" || locale == "POSIX") return 0;
    std::string name(locale);
    for (char& c : name) {
        if (c == '-') c = '_';
    }
    std::string language = name.substr(0, name.find('_'));
    for (const LocaleId& entry : kLocales) {
        std::string_view prefix(entry.prefix);
        if (prefix.find('_') != std::string_view::npos) {
            if (name.size() >= prefix.size() && SameIgnoringCase(std::string_view(name).substr(0, prefix.size()), prefix))
                return entry.id;
        } else if (SameIgnoringCase(language, prefix)) {
            return entry.id;
        }
    }
    return 0;
}

int UserDefaultUILanguage() {
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value) continue;
        std::string_view v(value);
        // LANGUAGE is a list of preferences; the first one we know wins.
        while (!v.empty()) {
            std::size_t colon = v.find(':');
            int id = LanguageIdFromLocaleName(v.substr(0, colon));
            if (id) return id;
            if (colon == std::string_view::npos) break;
            v.remove_prefix(colon + 1);
        }
        return 1033;  // a locale is set but names no language we know ("C")
    }
    return 1033;
}

int ChooseStartupLanguage() {
    int id = ReadLanguageId();
    if (id == 0) {
        // First run: this run uses the user's language. Later runs start with the
        // stored one: the user's own when we ship texts for it, else Simplified
        // Chinese as the program always did for languages it has no texts for.
        id = UserDefaultUILanguage();
        std::error_code ec;
        bool shipped = id == 1033 || std::filesystem::exists(LanguageFilePath(id), ec);
        WriteLanguageId(shipped ? id : 2052);
    }
    SetCurrentLanguageId(id);
    CreateDirectoryPath(DataDirectory() + "db");
    return id;
}

void ChangeLanguage(int id) {
    WriteLanguageId(id);
    SetCurrentLanguageId(id);
}

}  // namespace keyloft
