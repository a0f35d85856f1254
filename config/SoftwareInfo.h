// The `software` element of config.xml: the program's name, version and addresses.
#pragma once

#include <string>

namespace keyloft {

class XmlDocument;

struct SoftwareInfo {
    std::wstring name;
    std::wstring version;     // shown as "Ver: %s", compared by the update check
    std::wstring website;     // opened by the website button
    std::wstring store;       // kept; nothing opens it
    std::wstring upgrade;     // address of the update information
    std::wstring notice;      // `info` of `copyright`: the home page's notice label
};

// Start-up: the `name` of config/software in the given config.xml, searched afresh;
// empty when the file is missing, not well-formed or has no such element.
std::wstring ReadSoftwareName(const std::string& configPath);

// Reads `software` at the cursor's level of `doc` (the children of `config`),
// searching after the current position as every reader of config.xml does: its
// children are looked for in the order website, store, upgrade, copyright, so one
// listed out of that order is not found. Missing parts stay empty.
void ReadSoftwareInfo(XmlDocument& doc, SoftwareInfo& info);

}  // namespace keyloft
