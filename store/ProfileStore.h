// The profile store: the one SQLite database file of the selected keyboard
// model (<data directory>/db/<model>_data_v8.db) and every operation that reads
// or writes it.
//
// Ownership: the program uses the one store of Instance(), created on first use
// and closed at process exit; tests and benchmarks may build their own. Records
// passed in and out are plain values; list reads empty the caller's vector and
// then append one record per row in the order SQLite returns them.
//
// Threads: any thread may call any operation. One recursive lock guards the
// connection, so operations of different threads never interleave; no
// operation calls another while it holds the lock.
//
// Failures are results: while no database is open every write reports false
// or 0, a single-row read reports "not found", lists come back empty and counts
// are 0. A write succeeds when its last step returned 0, 100 or 101; an insert
// returns the new row id (low 32 bits) or 0. Nothing is rolled back: an
// operation that fails half-way keeps what it already did.
#pragma once

#include "store/SQLiteDB.h"
#include "store/StoreRecords.h"

#include <mutex>
#include <string>
#include <vector>

namespace keyloft {

class ProfileStore {
public:
    static ProfileStore& Instance();

    ProfileStore() = default;
    ~ProfileStore();
    ProfileStore(const ProfileStore&) = delete;
    ProfileStore& operator=(const ProfileStore&) = delete;

    // The file of one model: dataDirectory + "db/" + modelName + "_data_v8.db".
    static std::wstring DatabaseFilePath(const std::wstring& dataDirectory,
                                         const std::wstring& modelName);

    // Opens the model's file, creating it with the schema when it is missing.
    // An existing file gets no schema statement, except an empty one (no table
    // at all, as a crash right after creating it leaves it), which is filled.
    // A file that is not a readable SQLite database is left untouched and the
    // store stays closed. Opening the file that is already open keeps the
    // connection; opening another one closes the old connection first. A model
    // name with '/' or NUL in it is refused. A failed Open holds no connection.
    bool Open(const std::wstring& dataDirectory, const std::wstring& modelName);
    void Close();
    bool IsOpen() const;
    // Removes the model's file (and a journal SQLite may have left beside it),
    // closing the store first when that file is the open one. Not reported.
    // Names that Open refuses remove nothing.
    void DeleteDatabaseFile(const std::wstring& dataDirectory, const std::wstring& modelName);
    // UTF-8 path of the file last given to Open (empty before).
    std::string DatabasePath() const;

    // Global settings (t_configdata). A key that has no row yet gets one.
    bool SetConfigValue(const std::wstring& key, const std::wstring& value);
    bool GetConfigValue(const std::wstring& key, std::wstring& value);
    // Inserts the first-run row of every setting (version "1.0.1",
    // keyboard_layout, lightmode, sleep_light, sleeptime and key_responsetime
    // "1", every other setting "0"); called once, on an empty database.
    void WriteDefaultConfig();

    // Profiles (t_profile_data). AddProfile stores name and app with status 0
    // and type 0.
    int AddProfile(const ProfileRecord& profile);
    bool DeleteProfile(int profile);
    bool RenameProfile(int profile, const std::wstring& name);
    bool GetProfileName(int profile, std::wstring& name);
    int LoadProfiles(std::vector<ProfileRecord>& list);
    // Clears every status, then marks `profile`; reports the second update, so
    // an unknown id leaves no profile active and still succeeds.
    bool SetActiveProfile(int profile);
    int GetActiveProfile();

    // Key assignments (t_key_macro_data). Saving replaces the key's row; a
    // record whose macro_value and macro_value2 are both 0 only removes it (the
    // key returns to its default) and returns 0, as does key_code 0.
    int SaveKeyAssignment(const KeyAssignment& assignment);
    bool GetKeyAssignment(int profile, int fnLayer, int keyCode, KeyAssignment& assignment);
    int LoadKeyAssignments(int profile, int fnLayer, std::vector<KeyAssignment>& list);
    int LoadProfileKeyAssignments(int profile, std::vector<KeyAssignment>& list);
    bool RenameMacroOnKeys(int macroId, const std::wstring& name);
    bool DeleteMacroFromKeys(int macroId);
    void DeleteProfileKeyAssignments(int profile);
    // Extra data of shortcut and program functions (t_key_otherdata).
    int AddKeyOtherData(const KeyOtherData& data);
    // Always true; the outputs keep their values when there is no such row.
    bool GetKeyOtherData(int id, std::wstring& macroDesc, std::wstring& param, int& type);

    // Lighting modes (t_light_data).
    int CountLightSettings(int profile);
    int AddLightSetting(const LightSetting& setting);
    // Sets brightness, speed, direction, colorful, colorindex, color_value,
    // config_func and reserved of (profile, mode); the record's own profile and
    // mode are not used.
    bool UpdateLightSetting(int profile, int mode, const LightSetting& setting);
    bool SetActiveLightMode(int profile, int mode);
    int GetActiveLightMode(int profile);
    bool GetLightSetting(int profile, int mode, LightSetting& setting);
    int LoadLightSettings(int profile, std::vector<LightSetting>& list);
    // Per-key colours (t_key_light_data), selected by light set only: a set is
    // shared by all profiles. AddKeyLights inserts in one transaction and
    // returns the number of rows stored.
    int AddKeyLights(const std::vector<KeyLight>& lights);
    bool DeleteKeyLights(int lightId);
    int LoadKeyLights(int lightId, std::vector<KeyLight>& list);

    // Macros (t_macro_data) and their steps (t_macrorecord).
    // AddMacro stores play_times 1, delay_type 1, delay_time 0, link_count 0.
    int AddMacro(const std::wstring& name);
    int AddMacroWithSettings(const MacroRecord& macro);
    bool RenameMacro(int macroId, const std::wstring& name);
    // Sets play_times, delay_type and delay_time of macro.macro_id.
    bool UpdateMacroPlayback(const MacroRecord& macro);
    // Removes the macro, then (only if that worked) its steps.
    bool DeleteMacro(int macroId);
    bool GetMacroPlayTimes(int macroId, int& playTimes);
    bool GetMacro(int macroId, MacroRecord& macro);
    int LoadMacros(std::vector<MacroRecord>& list);
    int AddMacroStep(const MacroStep& step);
    // One transaction; returns the number of steps stored.
    int AddMacroSteps(const std::vector<MacroStep>& steps);
    // Deletes the macro's steps and stores `steps` in their place, in one
    // transaction. Returns the number stored, or -1 when the old steps could not
    // be deleted (then nothing was stored).
    int ReplaceMacroSteps(int macroId, const std::vector<MacroStep>& steps);
    // Ordered by record_index.
    int LoadMacroSteps(int macroId, std::vector<MacroStep>& list);
    bool DeleteMacroSteps(int macroId);
    // Steps whose type is not 1.
    int CountMacroActions(int macroId);

    // Music visualizer layers (t_musiclayer_data) of a target.
    int CountMusicLayers(int target);
    // Stores deviceindex 0, fore_amplitude 300, backmode 0, backb_right 100, sel 0.
    int AddMusicLayer(int target, const std::wstring& name, int foremode);
    // Fills layer_id, profile and name only.
    int LoadMusicLayers(int target, std::vector<MusicLayer>& list);
    bool GetMusicLayer(int layerId, MusicLayer& layer);
    // Sets deviceindex, foremode, fore_amplitude, backmode and backb_right.
    bool UpdateMusicLayer(int layerId, const MusicLayer& layer);
    bool SelectMusicLayer(int target, int layerId);
    int GetSelectedMusicLayer(int target);

private:
    bool OpenExisting();
    bool CreateDatabase();
    bool RunSchemaStatements();
    bool HasAnySchemaObject();
    bool PassesQuickCheck();
    void CloseConnection();

    SQLiteDB db_;
    mutable std::recursive_mutex mutex_;
    std::string path_;
    bool open_ = false;
    // The file the held connection belongs to (empty when none is held).
    std::string connectionPath_;
};

}  // namespace keyloft
