// The software functions of keys (kinds 8 to 11), run when another process
// asks the main window for them with the id of a key's extra-data row.
//
// Program start and web page go to the desktop's "open", text is typed by
// pasting it, and a profile switch goes to the controller; all of them through
// SoftwareFunctionHost so that tests can watch them. UI thread. Returns false
// when nothing was done (unknown row or type, empty text, a profile that does
// not exist, or the desktop refused).
#pragma once

#include <string>

namespace keyloft {

class ProfileStore;

class SoftwareFunctionHost {
public:
    virtual ~SoftwareFunctionHost() = default;
    virtual bool ShellOpen(const std::wstring& target) = 0;
    // Puts the text on the clipboard, sends Ctrl+V and clears the clipboard again.
    virtual bool PasteText(const std::wstring& text) = 0;
    // Makes the profile current and shows its key assignments; stores and sends nothing.
    virtual void SwitchProfile(int profile) = 0;
};

// The address opened for a web-page function: "www." is put in front unless the
// text already contains "www." or names its scheme ("https://...", "mailto:").
std::wstring WebPageAddress(const std::wstring& text);

bool RunKeySoftwareFunction(ProfileStore& store, int otherDataId, SoftwareFunctionHost& host);

}  // namespace keyloft
