// A local HTTP(S) server for the update tests: http_test_server.py run by
// python3 in its own process on a free port of 127.0.0.1, serving the files of
// a temporary folder. Start() answers false when python3 is missing or the
// server did not come up; the destructor ends the process it started.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace keyloft::test {

class TestHttpServer {
public:
    TestHttpServer() = default;
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    // Serves `root`; with a certificate and key it speaks https.
    bool Start(const std::string& root, const std::string& certificate = {},
               const std::string& key = {});
    void Stop();

    int Port() const { return port_; }
    // "http://127.0.0.1:<port>" + path (https when started with a certificate).
    std::wstring Url(const std::string& path) const;
    // The paths requested so far, and the headers of the last request of `path`.
    std::vector<std::string> RequestedPaths() const;
    std::string HeaderOfLast(const std::string& path, const std::string& header) const;

private:
    std::string root_;
    bool tls_ = false;
    pid_t pid_ = -1;
    int port_ = 0;
};

// A port on 127.0.0.1 that nothing listens on (bound, then released).
int ClosedPort();

// A fresh folder below the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);

}  // namespace keyloft::test
