#include "platform/system/Shell.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/WideString.h"

extern char** environ;

namespace keyloft::platform {
namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// PATH lookup done here rather than by execvp in the child, so that the child
// only calls async-signal-safe functions. Empty PATH entries (the current
// directory) are skipped on purpose: a key or an update must never start a
// program just because the working directory happens to hold one.
std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string list = (path && *path) ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string dir = list.substr(start, end - start);
        if (!dir.empty() && dir[0] == '/') {
            std::string candidate = dir + "/" + name;
            if (IsExecutableFile(candidate)) return candidate;
        }
        start = end + 1;
    }
    return {};
}

// "scheme://..." or "mailto:...": handed to the desktop as it stands.
bool IsWebAddress(const std::string& target) {
    if (target.rfind("mailto:", 0) == 0) return true;
    std::size_t sep = target.find("://");
    if (sep == std::string::npos || sep == 0) return false;
    for (std::size_t i = 0; i < sep; ++i) {
        char c = target[i];
        bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!(alpha || (i > 0 && other))) return false;
    }
    return true;
}

// Starts `program` (an absolute path) detached from this process: the
// intermediate child starts a new session and forks the real one, which init
// then adopts, so no zombie is left behind and the program survives our exit
// (an installer is started right before the process ends). A close-on-exec pipe
// tells us whether the exec itself worked.
bool SpawnDetached(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workDir) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    int pipefd[2];
    if (pipe2(pipefd, O_CLOEXEC) != 0) return false;
    pid_t child = fork();
    if (child < 0) {
        close(pipefd[0]);
        close(pipefd[1]);
        return false;
    }
    if (child == 0) {
        close(pipefd[0]);
        setsid();
        pid_t grandchild = fork();
        if (grandchild != 0) {
            if (grandchild < 0) {
                int error = errno;
                (void)!write(pipefd[1], &error, sizeof error);
            }
            _exit(0);
        }
        // The caller may be a worker thread with signals blocked or SIGPIPE
        // ignored; the new program starts with the defaults.
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        sigaction(SIGPIPE, &dfl, nullptr);
        // Our descriptors (database, HID devices, sockets) are not the new
        // program's business.
        close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        if (!workDir.empty()) (void)!chdir(workDir.c_str());
        execve(program.c_str(), argv.data(), environ);
        int error = errno;
        (void)!write(pipefd[1], &error, sizeof error);
        _exit(127);
    }
    close(pipefd[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    do {
        got = read(pipefd[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(pipefd[0]);
    return got == 0;
}

bool OpenWithDesktop(const std::string& argument) {
    std::string opener = FindOnPath("xdg-open");
    if (opener.empty()) return false;
    return SpawnDetached(opener, {opener, argument}, {});
}

}  // namespace

bool ShellOpen(const std::wstring& wideTarget) {
    std::string target = WideToUtf8(wideTarget);
    if (target.empty()) return false;
    if (IsWebAddress(target)) return OpenWithDesktop(target);
    if (target.rfind("www.", 0) == 0) return OpenWithDesktop("http://" + target);

    if (target.find('/') == std::string::npos) {
        std::string program = FindOnPath(target);
        if (!program.empty()) return SpawnDetached(program, {program}, {});
    }
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(target, ec);
    if (ec) return false;
    std::string path = absolute.lexically_normal().string();
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return false;
    if (S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0)
        return SpawnDetached(path, {path}, absolute.parent_path().string());
    // An absolute path also keeps a name that starts with "-" from being read
    // as an option by xdg-open.
    return OpenWithDesktop(path);
}

bool MarkExecutable(const std::wstring& widePath) {
    std::string path = WideToUtf8(widePath);
    int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        mode_t mode = st.st_mode & 07777;
        if (mode & S_IRUSR) mode |= S_IXUSR;
        if (mode & S_IRGRP) mode |= S_IXGRP;
        if (mode & S_IROTH) mode |= S_IXOTH;
        ok = fchmod(fd, mode) == 0;
    }
    close(fd);
    return ok;
}

}  // namespace keyloft::platform
