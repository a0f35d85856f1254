// The profile and macro exchange files: export to and import from a path.
//
// A profile file holds a profile's key assignments and every macro its keys
// play; a macro file holds one macro and its steps. Both are UTF-8 XML with the
// declaration line, CR LF line ends and one element per line, attributes in a
// fixed order. Imports only ever add: a new profile, new macros; nothing that
// exists is changed. A file is read and checked completely before anything is
// stored, so a bad file (not well-formed, wrong root, numbers that do not fit,
// values out of range, oversized) imports nothing. Exports write a temporary
// file beside the target and rename it, so a failed export leaves no file and
// keeps an older one intact. UI thread (the store serialises itself).
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace keyloft {

class ProfileStore;

// Files larger than this are refused before they are read.
inline constexpr std::uintmax_t kMaxExchangeFileBytes = 8u << 20;
// Longest text attribute (names, labels, captions) an import accepts.
inline constexpr std::size_t kMaxExchangeTextLength = 4096;

bool ExportProfile(ProfileStore& store, int profileId, const std::wstring& profileName,
                   const std::filesystem::path& path);
bool ExportMacro(ProfileStore& store, int macroId, const std::filesystem::path& path);

// The name an imported profile or macro gets: the file title cut before its
// first "."; empty when the title has none.
std::wstring NameFromFileTitle(const std::filesystem::path& path);

struct ImportResult {
    bool fileExists = false;  // false: the operation reports false (as a cancel)
    bool accepted = false;    // the file was well-formed and of the right kind
    int profileId = 0;        // ImportProfile: the new profile (0 when none was stored)
    int macroId = 0;          // ImportMacro: the new macro
    // Macros created, in file order: (name, new id), for the macro list.
    std::vector<std::pair<std::wstring, int>> newMacros;
    std::wstring profileName;  // the name given to the new profile
};

ImportResult ImportProfile(ProfileStore& store, const std::filesystem::path& path);
ImportResult ImportMacro(ProfileStore& store, const std::filesystem::path& path);

}  // namespace keyloft
