// Helpers shared by the keys tests: a profile store in a fresh temporary folder,
// and short ways to put rows, macros and steps into it.
#pragma once

#include "store/ProfileStore.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace keyloft::test {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "keyloft-keys-XXXXXX").string();
        char* made = mkdtemp(pattern.data());
        if (made) path_ = made;
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A store opened on its own database file, with one profile.
struct StoreFixture : ::testing::Test {
    TempDir dir;
    ProfileStore store;
    int profile = 0;

    void SetUp() override {
        ASSERT_TRUE(store.Open(dir.path().wstring() + L"/", L"Keyloft K1"));
        ProfileRecord p;
        p.name = L"Profile 1";
        profile = store.AddProfile(p);
        ASSERT_GT(profile, 0);
    }

    int Key(int layer, int key, int kind, int value, const std::wstring& desc = L"", int forProfile = 0) {
        KeyAssignment a;
        a.profile = forProfile ? forProfile : profile;
        a.fn_layer = layer;
        a.key_code = key;
        a.macro_type = kind;
        a.macro_value = value;
        a.macro_desc = desc;
        return store.SaveKeyAssignment(a);
    }

    // A macro with `presses` press/release pairs of the letters A, B, C, ...
    int Macro(const std::wstring& name, int playTimes, int presses, int delay = 20) {
        MacroRecord m;
        m.name = name;
        m.play_times = playTimes;
        m.delay_type = 1;
        const int id = store.AddMacroWithSettings(m);
        std::vector<MacroStep> steps;
        for (int i = 0; i < presses; ++i) {
            for (int type : {2, 3}) {
                MacroStep s;
                s.macro_id = id;
                s.type = type;
                s.value = 'A' + i % 26;
                s.delay_time = delay;
                s.record_index = static_cast<int>(steps.size());
                s.desc = std::wstring(1, static_cast<wchar_t>(L'A' + i % 26));
                steps.push_back(s);
            }
        }
        store.AddMacroSteps(steps);
        return id;
    }
};

}  // namespace keyloft::test
