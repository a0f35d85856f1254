#include "store/ProfileStore.h"

#include "base/WideString.h"
#include "store/StoreQuery.h"
#include "store/StoreSchema.h"

#include <filesystem>
#include <system_error>

namespace keyloft {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

// The file system takes the UTF-8 bytes as they are; going through the wide
// path would depend on the process locale.
bool FileExists(const std::string& utf8Path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(utf8Path), error);
}

void RemoveFile(const std::string& utf8Path) {
    std::error_code error;
    std::filesystem::remove(std::filesystem::path(utf8Path), error);
}

// Two spellings of one path ("dir/db" and "dir/./db", say) name the same file.
bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::error_code error;
    return std::filesystem::equivalent(std::filesystem::path(a), std::filesystem::path(b), error);
}

bool IsUsableModelName(const std::wstring& modelName) {
    // The name becomes part of a file name; a separator would place the
    // database outside the db folder, a NUL would cut the path SQLite sees.
    return modelName.find_first_of(std::wstring(L"/\0", 2)) == std::wstring::npos;
}

}  // namespace

ProfileStore& ProfileStore::Instance() {
    static ProfileStore store;
    return store;
}

ProfileStore::~ProfileStore() {
    if (open_) Close();
}

std::wstring ProfileStore::DatabaseFilePath(const std::wstring& dataDirectory,
                                            const std::wstring& modelName) {
    std::wstring path = dataDirectory;
    if (!path.empty() && path.back() != L'/') path += L'/';
    path += L"db/";
    path += modelName;
    path += L"_data_v8.db";
    return path;
}

bool ProfileStore::Open(const std::wstring& dataDirectory, const std::wstring& modelName) {
    Lock lock(mutex_);
    if (!IsUsableModelName(modelName)) {
        CloseConnection();
        path_.clear();
        open_ = false;
        return false;
    }
    path_ = WideToUtf8(DatabaseFilePath(dataDirectory, modelName));
    bool result;
    if (FileExists(path_)) {
        result = (db_.IsOpen() && SameFile(connectionPath_, path_)) ? true : OpenExisting();
    } else {
        // A held connection belongs to another model's file or to a file that
        // has been removed under it; either way it is not this model's.
        CloseConnection();
        result = CreateDatabase();
    }
    open_ = result;
    return result;
}

void ProfileStore::Close() {
    Lock lock(mutex_);
    if (open_) {
        CloseConnection();
        open_ = false;
    }
}

bool ProfileStore::IsOpen() const {
    Lock lock(mutex_);
    return open_;
}

std::string ProfileStore::DatabasePath() const {
    Lock lock(mutex_);
    return path_;
}

void ProfileStore::DeleteDatabaseFile(const std::wstring& dataDirectory,
                                      const std::wstring& modelName) {
    Lock lock(mutex_);
    // Open refuses these names, so no database can have been made under them;
    // built into a path they would name some other file (a NUL cuts the path
    // the file system sees short of "_data_v8.db").
    if (!IsUsableModelName(modelName)) return;
    const std::string path = WideToUtf8(DatabaseFilePath(dataDirectory, modelName));
    // Left open, the connection would go on writing into the removed file,
    // reporting success for changes that nothing can read back.
    if (db_.IsOpen() && SameFile(connectionPath_, path)) {
        CloseConnection();
        open_ = false;
    }
    RemoveFile(path);
    // A journal left by an interrupted write would otherwise be played back
    // into the fresh file of the same name and corrupt it.
    RemoveFile(path + "-journal");
    RemoveFile(path + "-wal");
    RemoveFile(path + "-shm");
}

void ProfileStore::CloseConnection() {
    if (db_.Close()) connectionPath_.clear();
}

bool ProfileStore::OpenExisting() {
    if (!db_.Open(path_.c_str(), kSqliteOpenReadWrite | kSqliteOpenFullMutex)) return false;
    connectionPath_ = path_;
    // SQLite opens any file and only complains at the first read, so the file
    // is checked here, while nothing has been written to it yet: a file that
    // is not a sound database stays exactly as it was.
    if (!PassesQuickCheck()) {
        CloseConnection();
        return false;
    }
    // A file without any table is what a crash right after creating it leaves
    // behind; it holds nothing, so it gets the schema a new file would get.
    // When that fails (another program holds the file's write lock, say) the
    // connection goes too: a held connection would make the next Open of
    // this file report success on a store without tables.
    if (!HasAnySchemaObject() && !RunSchemaStatements()) {
        CloseConnection();
        return false;
    }
    return true;
}

bool ProfileStore::CreateDatabase() {
    if (db_.IsOpen()) return true;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), error);
    if (!db_.Open(path_.c_str(), kSqliteOpenReadWrite | kSqliteOpenCreate | kSqliteOpenFullMutex))
        return false;
    connectionPath_ = path_;
    if (RunSchemaStatements()) return true;
    // The file did not exist before this call: a half-made schema would be
    // taken for a real database next time, so it goes.
    CloseConnection();
    RemoveFile(path_);
    RemoveFile(path_ + "-journal");
    return false;
}

bool ProfileStore::RunSchemaStatements() {
    // One transaction, so that an interrupted creation leaves either the whole
    // schema or an empty file (which the next open fills).
    SQLiteAutoTransaction transaction(&db_);
    bool ok = true;
    for (const char* statement : SchemaStatements()) {
        if (db_.Exec(statement) != kSqliteOk) ok = false;
    }
    if (!transaction.Commit()) ok = false;
    return ok;
}

bool ProfileStore::HasAnySchemaObject() {
    StoreQuery query(db_, "SELECT count(*) FROM sqlite_master");
    return query.Next() && query.ColInt(0) > 0;
}

bool ProfileStore::PassesQuickCheck() {
    StoreQuery query(db_, "PRAGMA quick_check(1)");
    return query.Next() && query.ColText(0) == L"ok";
}

}  // namespace keyloft
