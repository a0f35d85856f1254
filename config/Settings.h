// The program's two per-user settings outside the profile store, LCID (the UI
// language id) and exit_mode (the close behaviour), kept in
// $XDG_CONFIG_HOME/<software name>/settings.ini: the file stands in for the
// per-user key "SOFTWARE\<software name>", its lines for the key's text values.
//
// The file exists once it has been "opened" for reading: ReadSettingValue creates an
// empty one when it is missing, and WriteSettingValue writes only into an existing
// one. Failures are silent: reads give 0 (ReadLanguageId 1033), writes do nothing.
// Writes replace the file atomically and keep every other line in it. Callers are
// the UI thread and start-up; nothing here is locked.
#pragma once

#include <string>
#include <string_view>

namespace keyloft {

// $XDG_CONFIG_HOME/<software name>/settings.ini
std::string SettingsFilePath();

// The leading decimal number of the value (at most 255 bytes of it are read); 0
// when the value is missing or not a number, or the file cannot be read. A missing
// file is created.
int ReadSettingValue(const std::wstring& valueName);
void WriteSettingValue(const std::wstring& valueName, const std::wstring& text);

// As ReadSettingValue("LCID"), except that 1033 comes back when the file can be
// neither read nor created.
int ReadLanguageId();
void WriteLanguageId(int id);

// The leading decimal number of a text: white space, an optional sign, digits
// (0 when there are none). Values beyond the int range are clamped.
int LeadingDecimal(std::wstring_view text);

}  // namespace keyloft
