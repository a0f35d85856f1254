#include "platform/system/Shell.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TestHttpServer.h"
#include "base/WideString.h"

namespace keyloft::platform {
namespace {

using test::Exists;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Started programs run detached; wait (a generous while) for their trace.
std::string WaitForContent(const std::string& path) {
    for (int i = 0; i < 1000; ++i) {
        std::string content = ReadFile(path);
        if (!content.empty() && content.back() == '\n') return content;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return ReadFile(path);
}

void WriteScript(const std::string& path, const std::string& body) {
    WriteFile(path, "#!/bin/sh\n" + body);
    chmod(path.c_str(), 0755);
}

class ScopedPath {
public:
    explicit ScopedPath(const std::string& value) {
        const char* old = std::getenv("PATH");
        had_ = old != nullptr;
        if (old) old_ = old;
        setenv("PATH", value.c_str(), 1);
    }
    ~ScopedPath() {
        if (had_)
            setenv("PATH", old_.c_str(), 1);
        else
            unsetenv("PATH");
    }

private:
    bool had_ = false;
    std::string old_;
};

TEST(ShellOpenTest, StartsAProgramInItsOwnFolder) {
    TempDir dir;
    WriteScript(dir / "tool.exe", "pwd > started.txt\n");
    ASSERT_TRUE(ShellOpen(Utf8ToWide(dir / "tool.exe")));
    EXPECT_EQ(WaitForContent(dir / "started.txt"), dir.path() + "\n");
}

TEST(ShellOpenTest, FindsABareProgramNameOnThePath) {
    TempDir dir;
    WriteScript(dir / "keyloft-test-tool", "echo ran > '" + (dir / "ran.txt") + "'\n");
    ScopedPath path(dir.path() + ":/usr/bin:/bin");
    ASSERT_TRUE(ShellOpen(L"keyloft-test-tool"));
    EXPECT_EQ(WaitForContent(dir / "ran.txt"), "ran\n");
}

TEST(ShellOpenTest, HandsAddressesAndDocumentsToTheDesktop) {
    TempDir dir;
    WriteScript(dir / "xdg-open", "printf '%s\\n' \"$1\" > '" + (dir / "opened.txt") + "'\n");
    WriteFile(dir / "notes.txt", "a document");
    ScopedPath path(dir.path() + ":/usr/bin:/bin");
    struct Case {
        std::wstring target;
        std::string expected;
    };
    const Case cases[] = {
        {L"https://example.org/a?b=1", "https://example.org/a?b=1"},
        {L"www.example.org", "http://www.example.org"},
        {L"mailto:someone@example.org", "mailto:someone@example.org"},
        {Utf8ToWide(dir / "notes.txt"), dir / "notes.txt"},
        {Utf8ToWide(dir.path() + "/./notes.txt"), dir / "notes.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        std::remove((dir / "opened.txt").c_str());
        ASSERT_TRUE(ShellOpen(c.target));
        EXPECT_EQ(WaitForContent(dir / "opened.txt"), c.expected + "\n");
    }
}

TEST(ShellOpenTest, RefusesWhatCannotBeOpened) {
    TempDir dir;
    ScopedPath path(dir.path());  // no xdg-open anywhere
    EXPECT_FALSE(ShellOpen(L""));
    EXPECT_FALSE(ShellOpen(Utf8ToWide(dir / "missing.exe")));
    // Marked executable but in no format this system can run (an installer
    // built for another system): the caller must learn that nothing started.
    WriteFile(dir / "foreign.exe", std::string("MZ\x90\0\x03\0\0\0", 8));
    chmod((dir / "foreign.exe").c_str(), 0755);
    EXPECT_FALSE(ShellOpen(Utf8ToWide(dir / "foreign.exe")));
    EXPECT_FALSE(ShellOpen(L"no-such-program-anywhere"));
    EXPECT_FALSE(ShellOpen(L"https://example.org/"));
}

TEST(MarkExecutableTest, AddsExecuteWhereReadIsAllowed) {
    TempDir dir;
    struct Case {
        mode_t before;
        mode_t after;
    };
    const Case cases[] = {{0644, 0755}, {0600, 0700}, {0640, 0750}, {0755, 0755}};
    for (const Case& c : cases) {
        std::string file = dir / "program";
        WriteFile(file, "x");
        chmod(file.c_str(), c.before);
        EXPECT_TRUE(MarkExecutable(Utf8ToWide(file)));
        struct stat st {};
        ASSERT_EQ(stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.after) << std::oct << c.before;
    }
    EXPECT_FALSE(MarkExecutable(Utf8ToWide(dir / "missing")));
    EXPECT_FALSE(MarkExecutable(Utf8ToWide(dir.path())));
}

}  // namespace
}  // namespace keyloft::platform
