// Global settings and profiles.
#include "store/ProfileStore.h"
#include "store/StoreQuery.h"

namespace keyloft {

namespace {
using Lock = std::lock_guard<std::recursive_mutex>;

// Settings are global; their rows all carry profile 1.
constexpr int kConfigProfile = 1;

struct DefaultSetting {
    const wchar_t* key;
    const wchar_t* value;
};
constexpr DefaultSetting kDefaultSettings[] = {
    {L"version", L"1.0.1"},    {L"keyboard_layout", L"1"}, {L"fn_layer", L"0"},
    {L"fn_switch", L"0"},      {L"lightmode", L"1"},       {L"sleep_light", L"1"},
    {L"sleeptime", L"1"},      {L"key_responsetime", L"1"}, {L"userlight", L"0"},
    {L"customlight_run", L"0"}, {L"gamemode", L"0"},       {L"disable_alttab", L"0"},
    {L"disable_altf4", L"0"},  {L"disable_win", L"0"},
};

constexpr const char* kInsertConfig = "INSERT INTO t_configdata(profile, key, value) VALUES (?, ?, ?);";

ProfileRecord ReadProfile(const StoreQuery& q) {
    ProfileRecord record;
    record.profile = q.ColInt(0);
    record.name = q.ColText(1);
    record.status = q.ColInt(2);
    record.app = q.ColText(3);
    record.type = q.ColInt(4);
    return record;
}
}  // namespace

bool ProfileStore::SetConfigValue(const std::wstring& key, const std::wstring& value) {
    Lock lock(mutex_);
    StoreQuery update(db_, "UPDATE t_configdata SET value = ? WHERE profile = ? and key = ?");
    update.Text(value).Int(kConfigProfile).Text(key);
    if (!update.Run()) return false;
    if (db_.Changes() > 0) return true;
    // A key without a row would otherwise swallow the value and report success.
    StoreQuery insert(db_, kInsertConfig);
    insert.Int(kConfigProfile).Text(key).Text(value);
    return insert.Run();
}

bool ProfileStore::GetConfigValue(const std::wstring& key, std::wstring& value) {
    Lock lock(mutex_);
    value.clear();
    StoreQuery q(db_, "SELECT value FROM t_configdata WHERE profile = ? and key = ?");
    q.Int(kConfigProfile).Text(key);
    if (!q.Next()) return false;
    value = q.ColText(0);
    return true;
}

void ProfileStore::WriteDefaultConfig() {
    Lock lock(mutex_);
    StoreQuery q(db_, kInsertConfig);
    for (const DefaultSetting& setting : kDefaultSettings) {
        q.Int(kConfigProfile).Text(setting.key).Text(setting.value);
        q.Step();
        q.Rewind();
    }
}

int ProfileStore::AddProfile(const ProfileRecord& profile) {
    Lock lock(mutex_);
    StoreQuery q(db_, "INSERT INTO t_profile_data(name, status, app, type) VALUES (?, ?, ?, ?);");
    q.Text(profile.name).Int(0).Text(profile.app).Int(0);
    return InsertedId(db_, q.Run());
}

bool ProfileStore::DeleteProfile(int profile) {
    Lock lock(mutex_);
    StoreQuery q(db_, "DELETE FROM t_profile_data WHERE profile = ?");
    q.Int(profile);
    return q.Run();
}

bool ProfileStore::RenameProfile(int profile, const std::wstring& name) {
    Lock lock(mutex_);
    StoreQuery q(db_, "UPDATE t_profile_data SET name = ? WHERE profile = ?");
    q.Text(name).Int(profile);
    return q.Run();
}

bool ProfileStore::GetProfileName(int profile, std::wstring& name) {
    Lock lock(mutex_);
    name.clear();
    StoreQuery q(db_, "SELECT name FROM t_profile_data WHERE profile = ?");
    q.Int(profile);
    if (!q.Next()) return false;
    name = q.ColText(0);
    return true;
}

int ProfileStore::LoadProfiles(std::vector<ProfileRecord>& list) {
    Lock lock(mutex_);
    list.clear();
    StoreQuery q(db_, "SELECT * FROM t_profile_data");
    while (q.Next()) list.push_back(ReadProfile(q));
    return static_cast<int>(list.size());
}

bool ProfileStore::SetActiveProfile(int profile) {
    Lock lock(mutex_);
    StoreQuery clear(db_, "UPDATE t_profile_data SET status = ?");
    clear.Int(0).Step();
    StoreQuery mark(db_, "UPDATE t_profile_data SET status = ? WHERE profile = ?");
    mark.Int(1).Int(profile);
    return mark.Run();
}

int ProfileStore::GetActiveProfile() {
    Lock lock(mutex_);
    StoreQuery q(db_, "SELECT profile FROM t_profile_data WHERE status = ?");
    q.Int(1);
    return q.Next() ? q.ColInt(0) : 0;
}

}  // namespace keyloft
