#include "config/Settings.h"
#include "base/AsciiText.h"

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "base/WideString.h"
#include "config/AppPaths.h"

namespace keyloft {

namespace {

constexpr const char* kSection = "[settings]";

enum class Open { kOk, kCreated, kFailed };

// Opens the settings file for reading, creating it (and its folder) when missing.
Open OpenSettings(std::string& contents) {
    const std::string path = SettingsFilePath();
    std::ifstream in(path, std::ios::binary);
    if (in) {
        std::ostringstream all;
        all << in.rdbuf();
        if (in.bad()) return Open::kFailed;
        contents = all.str();
        return Open::kOk;
    }
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) return Open::kFailed;  // there but unreadable
    if (!CreateDirectoryPath(std::filesystem::path(path).parent_path())) return Open::kFailed;
    std::ofstream out(path, std::ios::binary);
    if (!out) return Open::kFailed;
    out << kSection << '\n';
    out.close();
    return out ? Open::kCreated : Open::kFailed;
}

std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return EqualsIgnoringAsciiCase(a, b);
}

std::vector<std::string> SplitLines(const std::string& contents) {
    std::vector<std::string> lines;
    std::istringstream in(contents);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// The line index of `name` inside the settings section, or -1.
long FindValue(const std::vector<std::string>& lines, const std::string& name, long& sectionEnd) {
    bool inSection = false;
    long found = -1;
    sectionEnd = -1;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string t = Trim(lines[i]);
        if (!t.empty() && t[0] == '[') {
            inSection = SameName(t, kSection);
            continue;
        }
        if (!inSection) continue;
        sectionEnd = static_cast<long>(i);
        std::size_t eq = t.find('=');
        if (eq != std::string::npos && SameName(Trim(t.substr(0, eq)), name)) found = static_cast<long>(i);
    }
    return found;
}

int ReadValue(const std::wstring& valueName, bool& failed) {
    failed = false;
    std::string contents;
    switch (OpenSettings(contents)) {
        case Open::kFailed: failed = true; return 0;
        case Open::kCreated: return 0;
        case Open::kOk: break;
    }
    std::vector<std::string> lines = SplitLines(contents);
    long sectionEnd;
    long at = FindValue(lines, WideToUtf8(valueName), sectionEnd);
    if (at < 0) return 0;
    std::string value = Trim(lines[at].substr(lines[at].find('=') + 1));
    if (value.size() > 255) value.resize(255);  // the size offered to the read
    return LeadingDecimal(Utf8ToWide(value));
}

}  // namespace

std::string SettingsFilePath() {
    std::string name = WideToUtf8(SoftwareName());
    return ConfigHome() + "/" + (name.empty() ? "" : name + "/") + "settings.ini";
}

int LeadingDecimal(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t' || text[i] == L'\r' || text[i] == L'\n')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    long long v = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        v = v * 10 + (text[i] - L'0');
        if (v > static_cast<long long>(INT_MAX) + 1) v = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) v = -v;
    if (v > INT_MAX) v = INT_MAX;
    if (v < INT_MIN) v = INT_MIN;
    return static_cast<int>(v);
}

int ReadSettingValue(const std::wstring& valueName) {
    bool failed;
    return ReadValue(valueName, failed);
}

int ReadLanguageId() {
    bool failed;
    int id = ReadValue(L"LCID", failed);
    return failed ? 1033 : id;
}

void WriteSettingValue(const std::wstring& valueName, const std::wstring& text) {
    const std::string path = SettingsFilePath();
    std::ifstream in(path, std::ios::binary);
    if (!in) return;  // the key is not created here
    std::ostringstream all;
    all << in.rdbuf();
    in.close();
    std::vector<std::string> lines = SplitLines(all.str());

    const std::string name = WideToUtf8(valueName);
    std::string value = WideToUtf8(text);
    // One value per line: a line break in the text would make a second value.
    for (char& c : value) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    long sectionEnd;
    long at = FindValue(lines, name, sectionEnd);
    std::string line = name + "=" + value;
    if (at >= 0) {
        lines[at] = line;
    } else if (sectionEnd >= 0) {
        lines.insert(lines.begin() + sectionEnd + 1, line);
    } else {
        bool hasSection = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (SameName(Trim(lines[i]), kSection)) {
                lines.insert(lines.begin() + i + 1, line);
                hasSection = true;
                break;
            }
        }
        if (!hasSection) {
            lines.push_back(kSection);
            lines.push_back(line);
        }
    }

    // Write beside the file and rename over it, so that a crash or a full disk never
    // leaves half a settings file.
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return;
        for (const std::string& l : lines) out << l << '\n';
        out.close();
        if (!out) {
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            return;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) std::filesystem::remove(temp, ec);
}

void WriteLanguageId(int id) { WriteSettingValue(L"LCID", std::to_wstring(id)); }

}  // namespace keyloft
