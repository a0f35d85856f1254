// Where the program finds its files and keeps its per-user data.
//
// Program directory: the folder of the running program file, where config.xml,
// layouts/, language/, skins/ and keyboard/ lie. Tests and tools point it elsewhere
// with SetProgramDirectory (the built program's folder, a temporary folder with
// broken files). Data directory: $XDG_DATA_HOME (default ~/.local/share) followed by
// "<software name> Files/". The software name is the `name` of config.xml's
// `software` element (empty when config.xml gives none); the start-up code sets it
// once, before other threads start, with SetSoftwareName.
//
// The setters are for start-up and tests; the getters may be called from any thread
// once start-up is done. Nothing here fails loudly: missing environment variables
// fall back to the XDG defaults.
#pragma once

#include <filesystem>
#include <string>

namespace keyloft {

// The program directory with a trailing '/' (the form used for every file beside
// the program) or without one.
std::string ProgramDirectory(bool trailingSeparator = true);
// Overrides the program directory; an empty path goes back to the running program's.
void SetProgramDirectory(const std::filesystem::path& directory);

const std::wstring& SoftwareName();
void SetSoftwareName(const std::wstring& name);

// "$XDG_DATA_HOME/<software name> Files/" (ending with '/'); nothing is created.
std::string DataDirectory();
// "$XDG_CONFIG_HOME" (default ~/.config), without a trailing '/'.
std::string ConfigHome();

// True at once when `path` is an existing directory. Otherwise every missing level
// is created (failures of single levels are ignored) and the result says whether
// the whole path exists as a directory now.
bool CreateDirectoryPath(const std::filesystem::path& path);

}  // namespace keyloft
