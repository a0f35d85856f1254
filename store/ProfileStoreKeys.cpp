// Key assignments and the extra data of shortcut and program functions.
#include "store/ProfileStore.h"
#include "store/StoreQuery.h"

namespace keyloft {

namespace {
using Lock = std::lock_guard<std::recursive_mutex>;

constexpr int kMacroType = 3;

KeyAssignment ReadAssignment(const StoreQuery& q) {
    KeyAssignment record;
    record.key_id = q.ColInt(0);
    record.profile = q.ColInt(1);
    record.fn_layer = q.ColInt(2);
    record.key_code = q.ColInt(3);
    record.layout_value = q.ColInt(4);
    record.layout_desc = q.ColText(5);
    record.macro_type = q.ColInt(6);
    record.macro_value = q.ColInt(7);
    record.macro_value2 = q.ColInt(8);
    record.macro_value3 = q.ColInt(9);
    record.macro_desc = q.ColText(10);
    return record;
}
}  // namespace

int ProfileStore::SaveKeyAssignment(const KeyAssignment& a) {
    if (a.key_code == 0) return 0;
    Lock lock(mutex_);
    StoreQuery remove(db_, "DELETE FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?");
    remove.Int(a.profile).Int(a.fn_layer).Int(a.key_code).Step();
    // A function with neither value is the key's own: it is kept as no row.
    if (a.macro_value == 0 && a.macro_value2 == 0) return 0;
    StoreQuery insert(db_,
                      "INSERT INTO t_key_macro_data(profile, fn_layer, key_code, layout_value, layout_desc, "
                      "macro_type, macro_value, macro_value2, macro_value3, macro_desc) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);");
    insert.Int(a.profile).Int(a.fn_layer).Int(a.key_code).Int(a.layout_value).Text(a.layout_desc);
    insert.Int(a.macro_type).Int(a.macro_value).Int(a.macro_value2).Int(a.macro_value3).Text(a.macro_desc);
    return InsertedId(db_, insert.Run());
}

bool ProfileStore::GetKeyAssignment(int profile, int fnLayer, int keyCode, KeyAssignment& assignment) {
    Lock lock(mutex_);
    StoreQuery q(db_, "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?");
    q.Int(profile).Int(fnLayer).Int(keyCode);
    if (!q.Next()) return false;
    assignment = ReadAssignment(q);
    return true;
}

int ProfileStore::LoadKeyAssignments(int profile, int fnLayer, std::vector<KeyAssignment>& list) {
    Lock lock(mutex_);
    list.clear();
    StoreQuery q(db_, "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ?");
    q.Int(profile).Int(fnLayer);
    while (q.Next()) list.push_back(ReadAssignment(q));
    return static_cast<int>(list.size());
}

int ProfileStore::LoadProfileKeyAssignments(int profile, std::vector<KeyAssignment>& list) {
    Lock lock(mutex_);
    list.clear();
    StoreQuery q(db_, "SELECT * FROM t_key_macro_data WHERE profile = ?");
    q.Int(profile);
    while (q.Next()) list.push_back(ReadAssignment(q));
    return static_cast<int>(list.size());
}

bool ProfileStore::RenameMacroOnKeys(int macroId, const std::wstring& name) {
    Lock lock(mutex_);
    StoreQuery q(db_, "UPDATE t_key_macro_data SET macro_desc = ? WHERE macro_type = ? AND macro_value = ?");
    q.Text(name).Int(kMacroType).Int(macroId);
    return q.Run();
}

bool ProfileStore::DeleteMacroFromKeys(int macroId) {
    Lock lock(mutex_);
    StoreQuery q(db_, "DELETE FROM t_key_macro_data WHERE macro_type = ? AND macro_value = ?");
    q.Int(kMacroType).Int(macroId);
    return q.Run();
}

void ProfileStore::DeleteProfileKeyAssignments(int profile) {
    Lock lock(mutex_);
    StoreQuery q(db_, "DELETE FROM t_key_macro_data WHERE profile = ?");
    q.Int(profile).Step();
}

int ProfileStore::AddKeyOtherData(const KeyOtherData& data) {
    Lock lock(mutex_);
    StoreQuery q(db_, "INSERT INTO t_key_otherdata(macro_desc, param, type) VALUES (?, ?, ?);");
    q.Text(data.macro_desc).Text(data.param).Int(data.type);
    return InsertedId(db_, q.Run());
}

bool ProfileStore::GetKeyOtherData(int id, std::wstring& macroDesc, std::wstring& param, int& type) {
    Lock lock(mutex_);
    StoreQuery q(db_, "SELECT macro_desc, param, type FROM t_key_otherdata WHERE macro_value = ?");
    q.Int(id);
    if (q.Next()) {
        macroDesc = q.ColText(0);
        param = q.ColText(1);
        type = q.ColInt(2);
    }
    return true;
}

}  // namespace keyloft
