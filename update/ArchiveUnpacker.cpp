#include "update/ArchiveUnpacker.h"

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unzip.h>

#include "base/WideString.h"

namespace keyloft {
namespace {

constexpr unsigned kMadeByUnix = 3;
constexpr unsigned long kDosDirectoryBit = 0x10;
constexpr std::size_t kCopyBytes = 64 * 1024;

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { Reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = other.fd_;
            other.fd_ = -1;
        }
        return *this;
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int Release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void Reset() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

struct EntryPlan {
    std::vector<std::string> parts;  // folders, then the entry's own name
    bool directory = false;
    bool executable = false;
};

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Decides where an entry goes; false for entries that must not be unpacked.
bool PlanEntry(const std::string& name, const unz_file_info64& info, EntryPlan& plan) {
    if (name.empty() || IsSeparator(name[0])) return false;

    std::string part;
    auto finish = [&]() -> bool {
        if (part == "..") return false;
        if (!part.empty() && part != ".") plan.parts.push_back(part);
        part.clear();
        return true;
    };
    for (char c : name) {
        if (IsSeparator(c)) {
            if (!finish()) return false;
        } else {
            part.push_back(c);
        }
    }
    if (!finish() || plan.parts.empty()) return false;
    // "C:\..." or "C:name" from an archive made on another system.
    if (plan.parts.front().find(':') != std::string::npos) return false;

    plan.directory = IsSeparator(name.back()) || (info.external_fa & kDosDirectoryBit) != 0;
    if ((info.version >> 8) == kMadeByUnix) {
        unsigned mode = static_cast<unsigned>(info.external_fa >> 16);
        unsigned type = mode & S_IFMT;
        if (type == S_IFDIR) {
            plan.directory = true;
        } else if (type != 0 && type != S_IFREG) {
            return false;  // links, devices, pipes
        }
        plan.executable = (mode & 0111) != 0;
    }
    return true;
}

// Opens (creating when missing) the folder `name` below `parent`, refusing to
// step through a link or into something that is not a folder.
Fd EnterFolder(int parent, const std::string& name) {
    if (mkdirat(parent, name.c_str(), 0755) != 0 && errno != EEXIST) return Fd();
    return Fd(openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

bool WriteAll(int fd, const char* data, std::size_t length) {
    while (length > 0) {
        ssize_t written = write(fd, data, length);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

// Unpacks the entry under the cursor, taking what it writes from `bytesLeft`.
void UnpackCurrentEntry(unzFile zip, int root, std::vector<char>& buffer, std::uint64_t& bytesLeft) {
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return;
    std::string name(info.size_filename, '\0');
    if (unzGetCurrentFileInfo64(zip, &info, name.data(), name.size(), nullptr, 0, nullptr, 0) !=
        UNZ_OK)
        return;
    // A name with an embedded NUL ends there, as every file system call would.
    name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
    if (info.flag & 1) return;  // encrypted: we have no password

    EntryPlan plan;
    if (!PlanEntry(name, info, plan)) return;
    // The central directory's size is what the entry claims; an entry that
    // would not fit is not started, so no folder is made for it either.
    if (!plan.directory && info.uncompressed_size > bytesLeft) return;

    Fd folder(dup(root));
    if (!folder.valid()) return;
    std::size_t folders = plan.directory ? plan.parts.size() : plan.parts.size() - 1;
    for (std::size_t i = 0; i < folders; ++i) {
        folder = EnterFolder(folder.get(), plan.parts[i]);
        if (!folder.valid()) return;
    }
    if (plan.directory) return;

    if (unzOpenCurrentFile(zip) != UNZ_OK) return;
    const std::string& leaf = plan.parts.back();
    // Unlink first: an old file there could be a hard link to a file elsewhere.
    unlinkat(folder.get(), leaf.c_str(), 0);
    Fd out(openat(folder.get(), leaf.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  plan.executable ? 0755 : 0644));
    bool complete = out.valid();
    std::uint64_t written = 0;
    while (complete) {
        int got = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (got == 0) break;
        // Counted as it arrives: an entry may hold more than it claims.
        if (got < 0 || static_cast<std::uint64_t>(got) > bytesLeft - written ||
            !WriteAll(out.get(), buffer.data(), static_cast<std::size_t>(got)))
            complete = false;
        else
            written += static_cast<std::uint64_t>(got);
    }
    if (unzCloseCurrentFile(zip) != UNZ_OK) complete = false;
    if (out.valid()) {
        // A failed close can mean the data never reached the disk.
        if (close(out.Release()) != 0) complete = false;
        if (!complete) unlinkat(folder.get(), leaf.c_str(), 0);
    }
    if (complete) bytesLeft -= written;
}

}  // namespace

bool UnpackArchive(const std::wstring& archive, const std::wstring& directory) {
    return UnpackArchive(archive, directory, UnpackLimits{});
}

bool UnpackArchive(const std::wstring& archive, const std::wstring& directory,
                   const UnpackLimits& limits) {
    Fd root(open(WideToUtf8(directory).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!root.valid()) return false;
    unzFile zip = unzOpen64(WideToUtf8(archive).c_str());
    if (!zip) return false;
    std::vector<char> buffer(kCopyBytes);
    std::uint64_t bytesLeft = limits.maxBytes;
    std::size_t entries = 0;
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK && entries < limits.maxEntries;
         rc = unzGoToNextFile(zip), ++entries)
        UnpackCurrentEntry(zip, root.get(), buffer, bytesLeft);
    unzClose(zip);
    return true;
}

}  // namespace keyloft
