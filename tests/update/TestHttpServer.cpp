#include "TestHttpServer.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/WideString.h"

namespace keyloft::test {

TestHttpServer::~TestHttpServer() { Stop(); }

bool TestHttpServer::Start(const std::string& root, const std::string& certificate,
                           const std::string& key) {
    root_ = root;
    tls_ = !certificate.empty();
    const std::string script = std::string(KEYLOFT_SOURCE_DIR) + "/tests/update/http_test_server.py";
    int out[2];
    if (pipe(out) != 0) return false;
    pid_ = fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        if (tls_)
            execlp("python3", "python3", script.c_str(), root.c_str(), certificate.c_str(), key.c_str(),
                   static_cast<char*>(nullptr));
        else
            execlp("python3", "python3", script.c_str(), root.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string line;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') line.push_back(c);
    close(out[0]);
    port_ = std::atoi(line.c_str());
    if (port_ <= 0) {
        Stop();
        return false;
    }
    return true;
}

void TestHttpServer::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

std::wstring TestHttpServer::Url(const std::string& path) const {
    return Utf8ToWide((tls_ ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port_) +
                      path);
}

namespace {
std::vector<std::pair<std::string, std::string>> ReadLog(const std::string& root) {
    std::vector<std::pair<std::string, std::string>> entries;
    std::ifstream log(root + "/requests.log");
    std::string line;
    while (std::getline(log, line)) {
        std::size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        entries.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    }
    return entries;
}
}  // namespace

std::vector<std::string> TestHttpServer::RequestedPaths() const {
    std::vector<std::string> paths;
    for (auto& entry : ReadLog(root_)) paths.push_back(entry.first);
    return paths;
}

std::string TestHttpServer::HeaderOfLast(const std::string& path, const std::string& header) const {
    std::string found;
    for (auto& entry : ReadLog(root_)) {
        if (entry.first != path) continue;
        found.clear();
        std::stringstream headers(entry.second);
        std::string item;
        while (std::getline(headers, item, '\x1f')) {
            std::size_t colon = item.find(": ");
            if (colon != std::string::npos && item.substr(0, colon) == header)
                found = item.substr(colon + 2);
        }
    }
    return found;
}

int ClosedPort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);
    return ntohs(address.sin_port);
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "keyloft-update-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    path_ = made ? made : "";
}

TempDir::~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

}  // namespace keyloft::test
