#include "config/AppPaths.h"

#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <system_error>

#include "base/WideString.h"

namespace keyloft {

namespace {

std::mutex gMutex;
std::string gProgramDirectory;  // without trailing '/'; empty: not set
std::wstring gSoftwareName;

std::string RunningProgramDirectory() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return ".";
    return exe.parent_path().string();
}

std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/tmp";
}

std::string XdgDirectory(const char* variable, const char* fallbackBelowHome) {
    // The XDG rules ignore relative paths in these variables.
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') return value;
    return HomeDirectory() + "/" + fallbackBelowHome;
}

}  // namespace

std::string ProgramDirectory(bool trailingSeparator) {
    std::string dir;
    {
        std::lock_guard<std::mutex> lock(gMutex);
        if (gProgramDirectory.empty()) gProgramDirectory = RunningProgramDirectory();
        dir = gProgramDirectory;
    }
    if (trailingSeparator && (dir.empty() || dir.back() != '/')) dir += '/';
    return dir;
}

void SetProgramDirectory(const std::filesystem::path& directory) {
    std::lock_guard<std::mutex> lock(gMutex);
    std::string dir = directory.string();
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    gProgramDirectory = dir;
}

const std::wstring& SoftwareName() { return gSoftwareName; }

void SetSoftwareName(const std::wstring& name) { gSoftwareName = name; }

std::string DataDirectory() {
    return XdgDirectory("XDG_DATA_HOME", ".local/share") + "/" + WideToUtf8(gSoftwareName) + " Files/";
}

std::string ConfigHome() { return XdgDirectory("XDG_CONFIG_HOME", ".config"); }

bool CreateDirectoryPath(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return true;
    // create_directories creates every missing level and reports the first level it
    // could not make; like the level-by-level walk, what counts is whether the whole
    // path is a directory afterwards.
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
}

}  // namespace keyloft
