// What the key page costs besides the keyboard's own pauses: building event
// lists, the recorder's per-event work, a full upload's CPU time (pauses run on
// the virtual clock) and an exchange-file round trip.
#include "base/Clock.h"
#include "devicesim/Simulator.h"
#include "keys/ExchangeFiles.h"
#include "keys/KeyEvents.h"
#include "keys/KeyFunction.h"
#include "keys/KeyUpload.h"
#include "keys/LongFunction.h"
#include "keys/MacroRecorder.h"
#include "store/ProfileStore.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace keyloft {
namespace {

std::vector<StepView> Steps(int n) {
    std::vector<StepView> s;
    for (int i = 0; i < n; ++i) s.push_back({i % 2 ? 3 : 2, 'A' + (i / 2) % 26, 17 * i % 4000});
    return s;
}

void BM_LongBlockFrom100Steps(benchmark::State& state) {
    const auto steps = Steps(100);
    for (auto _ : state) {
        LongBlock b = BuildLongBlock(0, 4, 1, EncodeStrokes(MacroStrokes(steps)));
        benchmark::DoNotOptimize(b);
    }
}
BENCHMARK(BM_LongBlockFrom100Steps);

void BM_RecorderEvent(benchmark::State& state) {
    MacroRecorder r;
    std::int64_t t = 0;
    int i = 0;
    for (auto _ : state) {
        if (!r.Recording()) {
            state.PauseTiming();
            r.Stop();
            r.Start({}, 0, 80, kDelayRealTime, 0);
            state.ResumeTiming();
        }
        const int vk = 'A' + (i / 2) % 26;
        benchmark::DoNotOptimize(r.Feed({i % 2 ? 0x101 : 0x100, vk, 30, 0, t += 40}));
        ++i;
    }
}
BENCHMARK(BM_RecorderEvent);

struct BenchStore {
    std::filesystem::path dir;
    ProfileStore store;
    int profile = 0;
    BenchStore() {
        std::string pattern = (std::filesystem::temp_directory_path() / "keyloft-keys-bench-XXXXXX").string();
        dir = mkdtemp(pattern.data());
        store.Open(dir.wstring() + L"/", L"Keyloft K1");
        ProfileRecord p;
        p.name = L"Bench";
        profile = store.AddProfile(p);
        MacroRecord m;
        m.name = L"Macro";
        m.play_times = 1;
        const int macro = store.AddMacroWithSettings(m);
        std::vector<MacroStep> steps;
        for (const auto& v : Steps(60)) {
            MacroStep s;
            s.macro_id = macro, s.type = v.type, s.value = v.value, s.delay_time = v.delayMs;
            s.record_index = static_cast<int>(steps.size());
            steps.push_back(s);
        }
        store.AddMacroSteps(steps);
        for (int k = 4; k < 24; ++k) {
            KeyAssignment a;
            a.profile = profile, a.fn_layer = k % 2, a.key_code = k, a.macro_type = 2, a.macro_value = k + 1;
            store.SaveKeyAssignment(a);
        }
        for (int k = 30; k < 35; ++k) {
            KeyAssignment a;
            a.profile = profile, a.key_code = k, a.macro_type = 3, a.macro_value = macro;
            store.SaveKeyAssignment(a);
        }
    }
    ~BenchStore() {
        store.Close();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

// 20 short and 5 long keys; the keyboard's pauses (about 5.9 s) are virtual.
void BM_FullUploadCable(benchmark::State& state) {
    BenchStore s;
    VirtualClock clock;
    ScopedClock scope(clock);
    devicesim::ScopedVirtualKeyboard kb(devicesim::KeyboardSetup::Cable());
    KeyState ks;
    ks.profile = s.profile, ks.deviceType = 301, ks.selector = kb.selector();
    for (auto _ : state) {
        UploadAllKeyFunctions(kb.manager(), s.store, ks);
        state.PauseTiming();
        kb->ClearReports();
        clock.ClearPauses();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FullUploadCable)->Unit(benchmark::kMillisecond);

void BM_ProfileExportImport(benchmark::State& state) {
    BenchStore s;
    const auto path = s.dir / "Bench.xml";
    for (auto _ : state) {
        ExportProfile(s.store, s.profile, L"Bench", path);
        benchmark::DoNotOptimize(ImportProfile(s.store, path));
    }
}
BENCHMARK(BM_ProfileExportImport)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace keyloft
