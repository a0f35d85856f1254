#include "StoreTestSupport.h"
#include "base/WideString.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

using testing::SqliteShell;
using TextRoundTrip = testing::StoreTest;

std::wstring LongName() {
    std::wstring name;
    const std::wstring pattern = L"Key\u952e\U0001F3B9'\"";
    while (name.size() < 10000) name += pattern;
    name.resize(10000);
    return name;
}

// Every text column, written through its operation and read back through another.
TEST_F(TextRoundTrip, EveryTextColumnKeepsItsTextExactly) {
    const std::wstring texts[] = {
        L"",
        L"it's a \"quoted\" name",
        L"'); DROP TABLE t_profile_data; --",
        L"\u914d\u7f6e\u6587\u4ef6 \u4e00",          // Chinese
        L"\U0001F3AE Gaming \U0001F525\u2764\uFE0F",  // emoji outside the BMP and with selectors
        L"tab\tnew\nline \\ percent %s %d",
        LongName(),
    };
    int n = 0;
    for (const std::wstring& text : texts) {
        SCOPED_TRACE(WideToUtf8(text.substr(0, 40)));
        ++n;
        ProfileRecord profile;
        profile.name = text;
        profile.app = text;
        const int profileId = store.AddProfile(profile);
        ASSERT_GT(profileId, 0);
        std::wstring read;
        ASSERT_TRUE(store.GetProfileName(profileId, read));
        EXPECT_EQ(read, text);
        std::vector<ProfileRecord> profiles;
        store.LoadProfiles(profiles);
        EXPECT_EQ(profiles.back().app, text);
        EXPECT_TRUE(store.RenameProfile(profileId, text + L"!"));
        ASSERT_TRUE(store.GetProfileName(profileId, read));
        EXPECT_EQ(read, text + L"!");

        const std::wstring key = L"key " + std::to_wstring(n) + text;
        EXPECT_TRUE(store.SetConfigValue(key, text));
        ASSERT_TRUE(store.GetConfigValue(key, read));
        EXPECT_EQ(read, text);

        KeyAssignment a;
        a.profile = profileId;
        a.key_code = 4;
        a.macro_value = 1;
        a.layout_desc = text;
        a.macro_desc = text;
        ASSERT_GT(store.SaveKeyAssignment(a), 0);
        KeyAssignment got;
        ASSERT_TRUE(store.GetKeyAssignment(profileId, 0, 4, got));
        EXPECT_EQ(got.layout_desc, text);
        EXPECT_EQ(got.macro_desc, text);

        const int otherId = store.AddKeyOtherData(KeyOtherData{text, text, 10});
        std::wstring desc, param;
        int type = 0;
        store.GetKeyOtherData(otherId, desc, param, type);
        EXPECT_EQ(desc, text);
        EXPECT_EQ(param, text);

        const int macroId = store.AddMacro(text);
        MacroRecord macro;
        ASSERT_TRUE(store.GetMacro(macroId, macro));
        EXPECT_EQ(macro.name, text);
        MacroStep step;
        step.macro_id = macroId;
        step.desc = text;
        store.AddMacroStep(step);
        std::vector<MacroStep> steps;
        ASSERT_EQ(store.LoadMacroSteps(macroId, steps), 1);
        EXPECT_EQ(steps[0].desc, text);

        LightSetting light;
        light.profile = profileId;
        light.mode = 1;
        light.name = text;
        store.AddLightSetting(light);
        LightSetting gotLight;
        ASSERT_TRUE(store.GetLightSetting(profileId, 1, gotLight));
        EXPECT_EQ(gotLight.name, text);

        const int layerId = store.AddMusicLayer(1, text, 106);
        MusicLayer layer;
        ASSERT_TRUE(store.GetMusicLayer(layerId, layer));
        EXPECT_EQ(layer.name, text);
    }
    // The shell sees UTF-8 text, not some other encoding.
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT name FROM t_macro_data WHERE macro_id = 4"),
              "\xe9\x85\x8d\xe7\xbd\xae\xe6\x96\x87\xe4\xbb\xb6 \xe4\xb8\x80\n");
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT length(name) FROM t_macro_data WHERE macro_id = 7"), "10000\n");
}

}  // namespace
}  // namespace keyloft
