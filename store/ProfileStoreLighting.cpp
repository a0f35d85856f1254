// Lighting mode settings and the per-key colour sets.
#include "store/ProfileStore.h"
#include "store/StoreQuery.h"

namespace keyloft {

namespace {
using Lock = std::lock_guard<std::recursive_mutex>;

LightSetting ReadLightSetting(const StoreQuery& q) {
    LightSetting record;
    record.light_id = q.ColInt(0);
    record.profile = q.ColInt(1);
    record.name = q.ColText(2);
    record.mode = q.ColInt(3);
    record.brightness = q.ColInt(4);
    record.speed = q.ColInt(5);
    record.direction = q.ColInt(6);
    record.colorful = q.ColInt(7);
    record.colorindex = q.ColInt(8);
    record.color_value = q.ColInt(9);
    record.config_func = q.ColInt(10);
    record.reserved = q.ColInt(11);
    record.status = q.ColInt(12);
    return record;
}

KeyLight ReadKeyLight(const StoreQuery& q) {
    KeyLight record;
    record.keylight_id = q.ColInt(0);
    record.profile = q.ColInt(1);
    record.light_id = q.ColInt(2);
    record.key_code = q.ColInt(3);
    record.key_rgb = q.ColInt(4);
    return record;
}
}  // namespace

int ProfileStore::CountLightSettings(int profile) {
    Lock lock(mutex_);
    StoreQuery q(db_, "select count(*) FROM t_light_data WHERE profile = ?");
    q.Int(profile);
    return q.Next() ? q.ColInt(0) : 0;
}

int ProfileStore::AddLightSetting(const LightSetting& s) {
    Lock lock(mutex_);
    StoreQuery q(db_,
                 "INSERT INTO t_light_data(profile, name, mode, brightness, speed, direction, colorful, "
                 "colorindex, color_value, config_func, reserved, status) "
                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);");
    q.Int(s.profile).Text(s.name).Int(s.mode).Int(s.brightness).Int(s.speed).Int(s.direction);
    q.Int(s.colorful).Int(s.colorindex).Int(s.color_value).Int(s.config_func).Int(s.reserved).Int(s.status);
    return InsertedId(db_, q.Run());
}

bool ProfileStore::UpdateLightSetting(int profile, int mode, const LightSetting& s) {
    Lock lock(mutex_);
    StoreQuery q(db_,
                 "UPDATE t_light_data SET brightness = ?, speed = ?, direction = ?, colorful = ?, "
                 "colorindex = ?, color_value = ?, config_func = ?, reserved = ? "
                 "WHERE profile = ? AND mode = ?");
    q.Int(s.brightness).Int(s.speed).Int(s.direction).Int(s.colorful);
    q.Int(s.colorindex).Int(s.color_value).Int(s.config_func).Int(s.reserved);
    q.Int(profile).Int(mode);
    return q.Run();
}

bool ProfileStore::SetActiveLightMode(int profile, int mode) {
    Lock lock(mutex_);
    StoreQuery clear(db_, "UPDATE t_light_data SET status = ? WHERE profile = ?");
    clear.Int(0).Int(profile).Step();
    StoreQuery mark(db_, "UPDATE t_light_data SET status = ? WHERE profile = ? and mode = ?");
    mark.Int(1).Int(profile).Int(mode);
    return mark.Run();
}

int ProfileStore::GetActiveLightMode(int profile) {
    Lock lock(mutex_);
    StoreQuery q(db_, "SELECT mode FROM t_light_data WHERE profile = ? and status = ?");
    q.Int(profile).Int(1);
    return q.Next() ? q.ColInt(0) : 0;
}

bool ProfileStore::GetLightSetting(int profile, int mode, LightSetting& setting) {
    Lock lock(mutex_);
    StoreQuery q(db_, "SELECT * FROM t_light_data WHERE profile = ? AND mode = ?");
    q.Int(profile).Int(mode);
    if (!q.Next()) return false;
    setting = ReadLightSetting(q);
    return true;
}

int ProfileStore::LoadLightSettings(int profile, std::vector<LightSetting>& list) {
    Lock lock(mutex_);
    list.clear();
    StoreQuery q(db_, "SELECT * FROM t_light_data WHERE profile = ?");
    q.Int(profile);
    while (q.Next()) list.push_back(ReadLightSetting(q));
    return static_cast<int>(list.size());
}

int ProfileStore::AddKeyLights(const std::vector<KeyLight>& lights) {
    Lock lock(mutex_);
    // A whole set is written on every paint action: one transaction instead
    // of one per key.
    SQLiteAutoTransaction transaction(&db_);
    StoreQuery q(db_, "INSERT INTO t_key_light_data(profile, light_id, key_code, key_rgb) VALUES (?, ?, ?, ?);");
    int stored = 0;
    for (const KeyLight& light : lights) {
        q.Int(light.profile).Int(light.light_id).Int(light.key_code).Int(light.key_rgb);
        if (q.Run()) ++stored;
        q.Rewind();
    }
    transaction.Commit();
    return stored;
}

bool ProfileStore::DeleteKeyLights(int lightId) {
    Lock lock(mutex_);
    StoreQuery q(db_, "DELETE FROM t_key_light_data WHERE light_id = ?");
    q.Int(lightId);
    return q.Run();
}

int ProfileStore::LoadKeyLights(int lightId, std::vector<KeyLight>& list) {
    Lock lock(mutex_);
    list.clear();
    StoreQuery q(db_, "SELECT * FROM t_key_light_data WHERE light_id = ?");
    q.Int(lightId);
    while (q.Next()) list.push_back(ReadKeyLight(q));
    return static_cast<int>(list.size());
}

}  // namespace keyloft
