// The UI language and its texts.
//
// Every caption, tip and message of the program is text number N of section
// "KB.DIALOG" of the current language file, <program directory>language/<id>.lan:
// an INI-style UTF-8 file of [sections] and "<number>=<text>" lines. Texts are read
// from the file on every call (an edited file shows at the next redraw) and cut to
// 259 characters; a missing file, section or number gives empty text.
//
// The language id is a Windows language identifier (1033 English, 2052 Simplified
// Chinese, 1046 Brazilian Portuguese, 1034 Spanish, ...). It is process-wide; any
// thread may read it, the UI thread changes it.
#pragma once

#include <string>
#include <string_view>

namespace keyloft {

constexpr const wchar_t* kDialogSection = L"KB.DIALOG";

int CurrentLanguageId();
void SetCurrentLanguageId(int id);

// <program directory>language/<id>.lan
std::string LanguageFilePath(int id);

// Text `id` of `section` in the current language file.
std::wstring GetLanguageText(std::wstring_view section, int id);
// The same from a given file (tests, the data checks).
std::wstring ReadLanguageFileText(const std::string& path, std::wstring_view section, int id);

// The stand-in for the user's UI language: derived from LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG, the first that is set and not empty; 1033 when none names a
// language we know.
int UserDefaultUILanguage();
// "pt_BR.UTF-8" -> 1046, "zh_CN" -> 2052, "es" -> 1034, "C" -> 0 (unknown).
int LanguageIdFromLocaleName(std::string_view locale);

// The start-up choice, run once before the main window exists: the stored id, or on
// a first run the user's UI language, which is then stored for later runs (see the
// .cpp for which id is stored). Makes it the current id, creates the data
// directory's db folder and returns the id.
int ChooseStartupLanguage();

// The language box: store the id and make it current.
void ChangeLanguage(int id);

}  // namespace keyloft
