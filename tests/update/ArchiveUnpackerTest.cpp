#include "update/ArchiveUnpacker.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestHttpServer.h"
#include "TestZip.h"
#include "base/WideString.h"

namespace keyloft {
namespace {

namespace fs = std::filesystem;
using test::Exists;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using test::WriteZip;
using test::ZipEntry;

// root/ holds the archive and work/; everything an archive may produce lies
// below work/.
class UnpackTest : public testing::Test {
protected:
    void SetUp() override { fs::create_directory(work_); }

    bool Unpack(const std::vector<ZipEntry>& entries) {
        EXPECT_TRUE(WriteZip(archive_, entries));
        return UnpackArchive(Utf8ToWide(archive_), Utf8ToWide(work_));
    }
    bool UnpackFile() { return UnpackArchive(Utf8ToWide(archive_), Utf8ToWide(work_)); }

    // Everything below root that is neither the archive nor inside work/
    // (nor something the test put there itself).
    std::vector<std::string> Outside(const std::vector<std::string>& known = {}) {
        std::vector<std::string> found;
        for (auto it = fs::recursive_directory_iterator(root_.path()); it != fs::end(it); ++it) {
            std::string path = it->path().string();
            if (path == archive_ || path == work_) {
                if (path == work_) it.disable_recursion_pending();
                continue;
            }
            bool isKnown = false;
            for (const std::string& k : known) isKnown = isKnown || path == k;
            if (!isKnown) found.push_back(path);
        }
        return found;
    }

    TempDir root_;
    std::string work_ = root_ / "work";
    std::string archive_ = root_ / "update.zip";
};

bool IsExecutable(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IXUSR);
}

TEST_F(UnpackTest, UnpacksFoldersFilesAndExecuteBits) {
    ASSERT_TRUE(Unpack({
        {"Tool-1.0.exe", "#!/bin/sh\n", S_IFREG | 0755},
        {"docs/", ""},
        {"docs/readme.txt", "read me"},
        {"docs/deeper/notes.txt", std::string(100000, 'n')},
        {"empty/", ""},
        {"win\\style\\path.txt", "backslashes"},
        {"./dot/file.txt", "dot"},
        {"setid", "x", S_IFREG | 06755},
    }));
    EXPECT_EQ(ReadFile(work_ + "/Tool-1.0.exe"), "#!/bin/sh\n");
    EXPECT_TRUE(IsExecutable(work_ + "/Tool-1.0.exe"));
    EXPECT_EQ(ReadFile(work_ + "/docs/readme.txt"), "read me");
    EXPECT_FALSE(IsExecutable(work_ + "/docs/readme.txt"));
    EXPECT_EQ(ReadFile(work_ + "/docs/deeper/notes.txt"), std::string(100000, 'n'));
    EXPECT_TRUE(fs::is_directory(work_ + "/empty"));
    EXPECT_EQ(ReadFile(work_ + "/win/style/path.txt"), "backslashes");
    EXPECT_EQ(ReadFile(work_ + "/dot/file.txt"), "dot");
    struct stat st {};
    ASSERT_EQ(stat((work_ + "/setid").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 06000, 0u);
    EXPECT_TRUE(Outside().empty());
}

TEST_F(UnpackTest, ReplacesAnOlderFileOfTheSameName) {
    WriteFile(work_ + "/Tool.exe", "old version, longer than the new one");
    ASSERT_TRUE(Unpack({{"Tool.exe", "new"}}));
    EXPECT_EQ(ReadFile(work_ + "/Tool.exe"), "new");
}

TEST(UnpackHostileTest, NothingIsWrittenOutsideTheWorkFolder) {
    struct Case {
        const char* what;
        std::vector<ZipEntry> (*entries)(const std::string& root);
    };
    const Case cases[] = {
        {"absolute name", [](const std::string& root) {
             return std::vector<ZipEntry>{{root + "/abs-escape.txt", "x"}};
         }},
        {"parent", [](const std::string&) {
             return std::vector<ZipEntry>{{"../parent-escape.txt", "x"}};
         }},
        {"parent after folders", [](const std::string&) {
             return std::vector<ZipEntry>{{"a/b/../../../nested-escape.txt", "x"}};
         }},
        {"parent with backslashes", [](const std::string&) {
             return std::vector<ZipEntry>{{"..\\bs-escape.txt", "x"}, {"a\\..\\..\\bs2.txt", "x"}};
         }},
        {"drive letter", [](const std::string&) {
             return std::vector<ZipEntry>{{"C:\\drive-escape.txt", "x"}, {"C:drive2.txt", "x"}};
         }},
        {"link, then a file through it", [](const std::string& root) {
             return std::vector<ZipEntry>{{"link", root, S_IFLNK | 0777},
                                          {"link/link-escape.txt", "x"}};
         }},
        {"link to a file, then written", [](const std::string& root) {
             return std::vector<ZipEntry>{{"victim", root + "/victim-escape.txt", S_IFLNK | 0777},
                                          {"victim", "x"}};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir root;
        std::string work = root / "work";
        fs::create_directory(work);
        std::vector<ZipEntry> entries = c.entries(root.path());
        entries.push_back({"good.txt", "kept"});
        ASSERT_TRUE(WriteZip(root / "a.zip", entries));
        EXPECT_TRUE(UnpackArchive(Utf8ToWide(root / "a.zip"), Utf8ToWide(work)));

        EXPECT_EQ(ReadFile(work + "/good.txt"), "kept");
        for (auto& entry : fs::directory_iterator(root.path())) {
            std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "work" || name == "a.zip") << "escaped: " << entry.path();
        }
        for (auto& entry : fs::recursive_directory_iterator(work)) {
            EXPECT_FALSE(entry.is_symlink()) << "link made: " << entry.path();
            EXPECT_EQ(entry.path().filename().string().find(':'), std::string::npos) << entry.path();
        }
    }
}

TEST_F(UnpackTest, LinksAlreadyInTheWorkFolderLeadNowhere) {
    fs::create_directory(root_ / "outside");
    WriteFile(root_ / "target.txt", "untouched");
    WriteFile(root_ / "hard-target.txt", "untouched");
    fs::create_directory_symlink(root_ / "outside", work_ + "/out");
    fs::create_symlink(root_ / "target.txt", work_ + "/victim.txt");
    fs::create_hard_link(root_ / "hard-target.txt", work_ + "/hard.txt");

    ASSERT_TRUE(Unpack({
        {"out/x.txt", "through a folder link"},
        {"victim.txt", "replaced"},
        {"hard.txt", "replaced"},
    }));
    EXPECT_TRUE(fs::is_empty(root_ / "outside"));
    EXPECT_EQ(ReadFile(root_ / "target.txt"), "untouched");
    EXPECT_EQ(ReadFile(root_ / "hard-target.txt"), "untouched");
    // The old names are now plain files of their own.
    EXPECT_FALSE(fs::is_symlink(work_ + "/victim.txt"));
    EXPECT_EQ(ReadFile(work_ + "/victim.txt"), "replaced");
    EXPECT_EQ(ReadFile(work_ + "/hard.txt"), "replaced");
    EXPECT_TRUE(Outside({root_ / "outside", root_ / "target.txt", root_ / "hard-target.txt"}).empty());
}

TEST_F(UnpackTest, AFileWhereAFolderIsExpectedStaysAsItWas) {
    ASSERT_TRUE(Unpack({
        {"a", "a file"},
        {"a/b.txt", "needs a folder"},
        {"d/", ""},
        {"d", "needs a file"},
        {"ok.txt", "after them"},
    }));
    EXPECT_EQ(ReadFile(work_ + "/a"), "a file");
    EXPECT_TRUE(fs::is_directory(work_ + "/d"));
    EXPECT_EQ(ReadFile(work_ + "/ok.txt"), "after them");
    EXPECT_TRUE(Outside().empty());
}

TEST_F(UnpackTest, DeepNestingStaysInside) {
    std::string name;
    for (int i = 0; i < 300; ++i) name += "d/";
    ASSERT_TRUE(Unpack({{name + "deep.txt", "bottom"}}));
    EXPECT_EQ(ReadFile(work_ + "/" + name + "deep.txt"), "bottom");
    EXPECT_TRUE(Outside().empty());
}

TEST_F(UnpackTest, DamagedEntryIsRemovedAndTheRestKept) {
    const std::string damaged = "DAMAGED-ENTRY-" + std::string(5000, 'z');
    ASSERT_TRUE(WriteZip(archive_, {{"first.txt", "fine"},
                                    {"tool.exe", damaged, 0, true},
                                    {"last.txt", "fine too"}}));
    std::string bytes = ReadFile(archive_);
    std::size_t at = bytes.find("DAMAGED-ENTRY-");
    ASSERT_NE(at, std::string::npos);
    bytes[at + 100] ^= 0x55;
    WriteFile(archive_, bytes);

    EXPECT_TRUE(UnpackFile());
    EXPECT_EQ(ReadFile(work_ + "/first.txt"), "fine");
    EXPECT_EQ(ReadFile(work_ + "/last.txt"), "fine too");
    EXPECT_FALSE(Exists(work_ + "/tool.exe"));
}

// Everything below `dir`, as sorted relative paths.
std::vector<std::string> Listing(const std::string& dir) {
    std::vector<std::string> names;
    for (auto& entry : fs::recursive_directory_iterator(dir))
        names.push_back(fs::relative(entry.path(), dir).string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(UnpackLimitsTest, ArchivesThatClaimTooMuchUnpackOnlyWhatFits) {
    const std::string zeros(200000, '\0');
    struct Case {
        const char* what;
        UnpackLimits limits;
        std::vector<ZipEntry> entries;
        std::vector<std::string> unpacked;
    };
    const Case cases[] = {
        {"an entry past the byte limit is skipped, later ones that fit are kept",
         {100000, 100},
         {{"a.bin", zeros.substr(0, 60000)},
          {"deep/bomb.bin", zeros},
          {"b.bin", zeros.substr(0, 30000)},
          {"c.bin", zeros.substr(0, 20000)},
          {"d.bin", zeros.substr(0, 10000)}},
         {"a.bin", "b.bin", "d.bin"}},
        {"the limit itself is allowed",
         {100000, 100},
         {{"a.bin", zeros.substr(0, 60000)}, {"b.bin", zeros.substr(0, 40000)}},
         {"a.bin", "b.bin"}},
        {"an entry holding more than it claims is not kept",
         {100000, 100},
         {{"liar.bin", zeros, 0, false, 50000}, {"after.txt", "kept"}},
         {"after.txt"}},
        {"entries after the entry limit are not looked at",
         {100000, 3},
         {{"1", "a"}, {"dir/", ""}, {"3", "c"}, {"4", "d"}, {"5", "e"}},
         {"1", "3", "dir"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir root;
        std::string work = root / "work";
        fs::create_directory(work);
        ASSERT_TRUE(WriteZip(root / "a.zip", c.entries));
        EXPECT_TRUE(UnpackArchive(Utf8ToWide(root / "a.zip"), Utf8ToWide(work), c.limits));
        EXPECT_EQ(Listing(work), c.unpacked);
        std::uintmax_t total = 0;
        for (auto& entry : fs::recursive_directory_iterator(work))
            if (entry.is_regular_file()) total += entry.file_size();
        EXPECT_LE(total, c.limits.maxBytes);
    }
}

TEST_F(UnpackTest, UnreadableArchivesReportFalse) {
    ASSERT_TRUE(WriteZip(archive_, {{"a.txt", std::string(20000, 'a')}, {"b.txt", "b"}}));
    std::string whole = ReadFile(archive_);
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"truncated", whole.substr(0, whole.size() / 2)},
        {"error page", "<html>Not Found</html>"},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(archive_, c.bytes);
        EXPECT_FALSE(UnpackFile());
        EXPECT_TRUE(fs::is_empty(work_));
    }
    fs::remove(archive_);
    EXPECT_FALSE(UnpackFile());

    ASSERT_TRUE(WriteZip(archive_, {{"a.txt", "a"}}));
    EXPECT_FALSE(UnpackArchive(Utf8ToWide(archive_), Utf8ToWide(root_ / "no-such-folder")));
    EXPECT_FALSE(Exists(root_ / "no-such-folder"));
}

}  // namespace
}  // namespace keyloft
