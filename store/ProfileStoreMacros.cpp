// Macros and their recorded steps.
#include "store/ProfileStore.h"
#include "store/StoreQuery.h"

namespace keyloft {

namespace {
using Lock = std::lock_guard<std::recursive_mutex>;

constexpr const char* kInsertMacro =
    "INSERT INTO t_macro_data(play_times, delay_type, delay_time, link_count, name) VALUES (?, ?, ?, ?, ?);";
constexpr const char* kInsertStep =
    "INSERT INTO t_macrorecord(macro_id, type, record_index, desc, value, delay_time) VALUES (?, ?, ?, ?, ?, ?);";
constexpr const char* kSelectSteps = "SELECT * FROM t_macrorecord WHERE macro_id = ? ORDER BY record_index ASC";

// Steps of type 1 do not count towards a macro's action limit.
constexpr int kUncountedStepType = 1;

MacroRecord ReadMacro(const StoreQuery& q) {
    MacroRecord record;
    record.macro_id = q.ColInt(0);
    record.play_times = q.ColInt(1);
    record.delay_type = q.ColInt(2);
    record.delay_time = q.ColInt(3);
    record.link_count = q.ColInt(4);
    record.name = q.ColText(5);
    return record;
}

MacroStep ReadStep(const StoreQuery& q) {
    MacroStep record;
    record.record_id = q.ColInt(0);
    record.macro_id = q.ColInt(1);
    record.type = q.ColInt(2);
    record.record_index = q.ColInt(3);
    record.desc = q.ColText(4);
    record.value = q.ColInt(5);
    record.delay_time = q.ColInt(6);
    return record;
}

void BindStep(StoreQuery& q, const MacroStep& s) {
    q.Int(s.macro_id).Int(s.type).Int(s.record_index).Text(s.desc).Int(s.value).Int(s.delay_time);
}
}  // namespace

int ProfileStore::AddMacro(const std::wstring& name) {
    Lock lock(mutex_);
    StoreQuery q(db_, kInsertMacro);
    q.Int(1).Int(1).Int(0).Int(0).Text(name);
    return InsertedId(db_, q.Run());
}

int ProfileStore::AddMacroWithSettings(const MacroRecord& m) {
    Lock lock(mutex_);
    StoreQuery q(db_, kInsertMacro);
    q.Int(m.play_times).Int(m.delay_type).Int(m.delay_time).Int(m.link_count).Text(m.name);
    return InsertedId(db_, q.Run());
}

bool ProfileStore::RenameMacro(int macroId, const std::wstring& name) {
    Lock lock(mutex_);
    StoreQuery q(db_, "UPDATE t_macro_data SET name = ? WHERE macro_id = ?");
    q.Text(name).Int(macroId);
    return q.Run();
}

bool ProfileStore::UpdateMacroPlayback(const MacroRecord& m) {
    Lock lock(mutex_);
    StoreQuery q(db_, "UPDATE t_macro_data SET play_times = ?, delay_type = ?, delay_time = ? WHERE macro_id = ?");
    q.Int(m.play_times).Int(m.delay_type).Int(m.delay_time).Int(m.macro_id);
    return q.Run();
}

bool ProfileStore::DeleteMacro(int macroId) {
    Lock lock(mutex_);
    StoreQuery macro(db_, "DELETE FROM t_macro_data WHERE macro_id = ?");
    macro.Int(macroId);
    if (!macro.Run()) return false;
    StoreQuery steps(db_, "DELETE FROM t_macrorecord WHERE macro_id = ?");
    steps.Int(macroId);
    return steps.Run();
}

bool ProfileStore::GetMacroPlayTimes(int macroId, int& playTimes) {
    Lock lock(mutex_);
    StoreQuery q(db_, "SELECT play_times FROM t_macro_data WHERE macro_id = ?");
    q.Int(macroId);
    if (!q.Next()) return false;
    playTimes = q.ColInt(0);
    return true;
}

bool ProfileStore::GetMacro(int macroId, MacroRecord& macro) {
    Lock lock(mutex_);
    StoreQuery q(db_, "SELECT * FROM t_macro_data WHERE macro_id = ?");
    q.Int(macroId);
    if (!q.Next()) return false;
    macro = ReadMacro(q);
    return true;
}

int ProfileStore::LoadMacros(std::vector<MacroRecord>& list) {
    Lock lock(mutex_);
    list.clear();
    StoreQuery q(db_, "SELECT * FROM t_macro_data");
    while (q.Next()) list.push_back(ReadMacro(q));
    return static_cast<int>(list.size());
}

int ProfileStore::AddMacroStep(const MacroStep& step) {
    Lock lock(mutex_);
    StoreQuery q(db_, kInsertStep);
    BindStep(q, step);
    return InsertedId(db_, q.Run());
}

int ProfileStore::AddMacroSteps(const std::vector<MacroStep>& steps) {
    Lock lock(mutex_);
    SQLiteAutoTransaction transaction(&db_);
    StoreQuery q(db_, kInsertStep);
    int stored = 0;
    for (const MacroStep& step : steps) {
        BindStep(q, step);
        if (q.Run()) ++stored;
        q.Rewind();
    }
    transaction.Commit();
    return stored;
}

int ProfileStore::ReplaceMacroSteps(int macroId, const std::vector<MacroStep>& steps) {
    Lock lock(mutex_);
    SQLiteAutoTransaction transaction(&db_);
    StoreQuery remove(db_, "DELETE FROM t_macrorecord WHERE macro_id = ?");
    remove.Int(macroId);
    if (!remove.Run()) {
        transaction.Commit();
        return -1;
    }
    StoreQuery q(db_, kInsertStep);
    int stored = 0;
    for (const MacroStep& step : steps) {
        BindStep(q, step);
        if (q.Run()) ++stored;
        q.Rewind();
    }
    transaction.Commit();
    return stored;
}

int ProfileStore::LoadMacroSteps(int macroId, std::vector<MacroStep>& list) {
    Lock lock(mutex_);
    list.clear();
    StoreQuery q(db_, kSelectSteps);
    q.Int(macroId);
    while (q.Next()) list.push_back(ReadStep(q));
    return static_cast<int>(list.size());
}

bool ProfileStore::DeleteMacroSteps(int macroId) {
    Lock lock(mutex_);
    StoreQuery q(db_, "DELETE FROM t_macrorecord WHERE macro_id = ?");
    q.Int(macroId);
    return q.Run();
}

int ProfileStore::CountMacroActions(int macroId) {
    Lock lock(mutex_);
    StoreQuery q(db_, kSelectSteps);
    q.Int(macroId);
    int count = 0;
    while (q.Next()) {
        if (q.ColInt(2) != kUncountedStepType) ++count;
    }
    return count;
}

}  // namespace keyloft
