// Shared by the store tests: a temporary folder that is removed afterwards, a
// store opened on a fresh database inside one, and a way to ask the sqlite3
// command-line shell about a file, so that tests check the file itself and not
// only what the store reads back.
#pragma once

#include "store/ProfileStore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace keyloft::testing {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "keyloft-store-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // The data directory as the controller passes it: with a trailing separator.
    std::wstring data() const { return std::wstring(path_.begin(), path_.end()) + L"/"; }

private:
    std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Runs `sql` through the sqlite3 shell on `dbPath` and returns what it printed
// (stderr included, so that a refusal shows up in the comparison).
inline std::string SqliteShell(const std::string& dbPath, const std::string& sql) {
    const std::string command = "sqlite3 -batch '" + dbPath + "' \"" + sql + "\" 2>&1";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

inline ProfileRecord NamedProfile(const std::wstring& name) {
    ProfileRecord record;
    record.name = name;
    return record;
}

inline MacroRecord MacroWithId(int id) {
    MacroRecord record;
    record.macro_id = id;
    return record;
}

inline const wchar_t* kModel = L"Keyloft K1";

// A store of its own on a fresh database file.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store.Open(dir.data(), kModel)); }
    std::string DbFile() const { return store.DatabasePath(); }

    TempDir dir;
    ProfileStore store;
};

}  // namespace keyloft::testing
