#include "StoreTestSupport.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

using testing::SqliteShell;
using ProfileData = testing::StoreTest;
using ConfigData = testing::StoreTest;

TEST_F(ProfileData, AddStoresNameAndAppWithStatusAndTypeZero) {
    ProfileRecord record;
    record.name = L"Work";
    record.app = L"/usr/bin/editor";
    record.type = 7;    // not stored: every insert writes type 0
    record.status = 1;  // nor this: a new profile is never the active one
    EXPECT_EQ(store.AddProfile(record), 1);
    EXPECT_EQ(store.AddProfile(testing::NamedProfile(L"Play")), 2);

    std::vector<ProfileRecord> list;
    ASSERT_EQ(store.LoadProfiles(list), 2);
    EXPECT_EQ(list[0].profile, 1);
    EXPECT_EQ(list[0].name, L"Work");
    EXPECT_EQ(list[0].app, L"/usr/bin/editor");
    EXPECT_EQ(list[0].type, 0);
    EXPECT_EQ(list[0].status, 0);
    EXPECT_EQ(list[1].profile, 2);
    EXPECT_EQ(list[1].name, L"Play");
}

TEST_F(ProfileData, RenameDeleteAndNameLookup) {
    const int a = store.AddProfile(testing::NamedProfile(L"A"));
    const int b = store.AddProfile(testing::NamedProfile(L"B"));
    EXPECT_TRUE(store.RenameProfile(a, L"A2"));
    std::wstring name = L"stale";
    ASSERT_TRUE(store.GetProfileName(a, name));
    EXPECT_EQ(name, L"A2");

    EXPECT_TRUE(store.DeleteProfile(a));
    name = L"stale";
    EXPECT_FALSE(store.GetProfileName(a, name));
    EXPECT_EQ(name, L"");
    std::vector<ProfileRecord> list;
    ASSERT_EQ(store.LoadProfiles(list), 1);
    EXPECT_EQ(list[0].profile, b);
    // Row ids are never handed out twice, even after the highest one went.
    EXPECT_TRUE(store.DeleteProfile(b));
    EXPECT_EQ(store.AddProfile(testing::NamedProfile(L"C")), b + 1);
}

TEST_F(ProfileData, ExactlyOneProfileIsActiveAfterSetActive) {
    for (const wchar_t* name : {L"1", L"2", L"3"}) store.AddProfile(testing::NamedProfile(name));
    EXPECT_EQ(store.GetActiveProfile(), 0);
    EXPECT_TRUE(store.SetActiveProfile(2));
    EXPECT_EQ(store.GetActiveProfile(), 2);
    EXPECT_TRUE(store.SetActiveProfile(3));
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT profile, status FROM t_profile_data"), "1|0\n2|0\n3|1\n");

    // An unknown id clears the mark and still reports success.
    EXPECT_TRUE(store.SetActiveProfile(42));
    EXPECT_EQ(store.GetActiveProfile(), 0);
}

TEST_F(ConfigData, ValuesAreReadAndWrittenByKey) {
    store.WriteDefaultConfig();
    std::wstring value = L"stale";
    ASSERT_TRUE(store.GetConfigValue(L"sleeptime", value));
    EXPECT_EQ(value, L"1");
    EXPECT_TRUE(store.SetConfigValue(L"sleeptime", L"4"));
    ASSERT_TRUE(store.GetConfigValue(L"sleeptime", value));
    EXPECT_EQ(value, L"4");
    ASSERT_TRUE(store.GetConfigValue(L"key_responsetime", value));
    EXPECT_EQ(value, L"1");  // other keys unchanged

    value = L"stale";
    EXPECT_FALSE(store.GetConfigValue(L"no_such_key", value));
    EXPECT_EQ(value, L"");
}

TEST_F(ConfigData, SettingAKeyWithoutARowStoresIt) {
    // No first-run rows: the update alone would change nothing and the value
    // would be lost while success was reported.
    EXPECT_TRUE(store.SetConfigValue(L"fn_switch", L"1"));
    EXPECT_TRUE(store.SetConfigValue(L"fn_switch", L"0"));
    std::wstring value;
    ASSERT_TRUE(store.GetConfigValue(L"fn_switch", value));
    EXPECT_EQ(value, L"0");
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT profile, key, value FROM t_configdata"), "1|fn_switch|0\n");
}

}  // namespace
}  // namespace keyloft
