// The store's two hot paths against the same statements run straight on the
// SQLite C interface: reading the 200-profile list (every profile switch and
// start) and saving a 200-key light set in one transaction (every paint
// action). Both sides build the same records with the same text conversion,
// so the difference is what the wrapper costs: locking, statement objects and
// binding helpers.
//
// Run: keyloft-bench-store --benchmark_repetitions=15 --benchmark_report_aggregates_only=true
#include "base/WideString.h"
#include "store/ProfileStore.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace keyloft {
namespace {

constexpr int kProfiles = 200;
constexpr int kKeys = 200;

std::string MakeTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "keyloft-store-bench-XXXXXX").string();
    return mkdtemp(pattern.data());
}

// One store file filled with 200 profiles, opened both through the store and
// on a raw connection of its own (the same serialized mode and pragma).
struct Setup {
    Setup() : dir(MakeTempDir()) {
        const std::wstring data = Utf8ToWide(dir) + L"/";
        store.Open(data, L"Keyloft K1");
        for (int i = 1; i <= kProfiles; ++i) {
            ProfileRecord profile;
            profile.name = L"Profile " + std::to_wstring(i) + L" \u914d\u7f6e";
            store.AddProfile(profile);
        }
        sqlite3_open_v2(store.DatabasePath().c_str(), &raw,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
        sqlite3_exec(raw, "PRAGMA synchronous = OFF; ", nullptr, nullptr, nullptr);
        for (int i = 0; i < kKeys; ++i) lights.push_back(KeyLight{0, 1, 128, i, 0x00FFFFFF - i});
    }
    ~Setup() {
        sqlite3_close(raw);
        store.Close();
        std::error_code error;
        std::filesystem::remove_all(dir, error);
    }
    std::string dir;
    ProfileStore store;
    sqlite3* raw = nullptr;
    std::vector<KeyLight> lights;
};

Setup& Shared() {
    static Setup setup;
    return setup;
}

void BM_LoadProfiles_Store(benchmark::State& state) {
    Setup& s = Shared();
    std::vector<ProfileRecord> list;
    for (auto _ : state) {
        if (s.store.LoadProfiles(list) != kProfiles) state.SkipWithError("wrong profile count");
        benchmark::DoNotOptimize(list.data());
    }
}

std::wstring RawText(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    if (text == nullptr) return {};
    return Utf8ToWide(std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))));
}

void BM_LoadProfiles_Raw(benchmark::State& state) {
    Setup& s = Shared();
    std::vector<ProfileRecord> list;
    for (auto _ : state) {
        list.clear();
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(s.raw, "SELECT * FROM t_profile_data", -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            ProfileRecord record;
            record.profile = sqlite3_column_int(statement, 0);
            record.name = RawText(statement, 1);
            record.status = sqlite3_column_int(statement, 2);
            record.app = RawText(statement, 3);
            record.type = sqlite3_column_int(statement, 4);
            list.push_back(std::move(record));
        }
        sqlite3_finalize(statement);
        if (list.size() != kProfiles) state.SkipWithError("wrong profile count");
        benchmark::DoNotOptimize(list.data());
    }
}

void BM_SaveKeyLights_Store(benchmark::State& state) {
    Setup& s = Shared();
    for (auto _ : state) {
        s.store.DeleteKeyLights(128);
        if (s.store.AddKeyLights(s.lights) != kKeys) state.SkipWithError("rows not stored");
    }
}

void BM_SaveKeyLights_Raw(benchmark::State& state) {
    Setup& s = Shared();
    for (auto _ : state) {
        sqlite3_stmt* remove = nullptr;
        sqlite3_prepare_v2(s.raw, "DELETE FROM t_key_light_data WHERE light_id = ?", -1, &remove, nullptr);
        sqlite3_bind_int(remove, 1, 128);
        sqlite3_step(remove);
        sqlite3_finalize(remove);

        sqlite3_exec(s.raw, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(s.raw,
                           "INSERT INTO t_key_light_data(profile, light_id, key_code, key_rgb) VALUES (?, ?, ?, ?);",
                           -1, &insert, nullptr);
        int stored = 0;
        for (const KeyLight& light : s.lights) {
            sqlite3_bind_int(insert, 1, light.profile);
            sqlite3_bind_int(insert, 2, light.light_id);
            sqlite3_bind_int(insert, 3, light.key_code);
            sqlite3_bind_int(insert, 4, light.key_rgb);
            if (sqlite3_step(insert) == SQLITE_DONE) ++stored;
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(s.raw, "END", nullptr, nullptr, nullptr);
        if (stored != kKeys) state.SkipWithError("rows not stored");
    }
}

BENCHMARK(BM_LoadProfiles_Store)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadProfiles_Raw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveKeyLights_Store)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveKeyLights_Raw)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace keyloft
