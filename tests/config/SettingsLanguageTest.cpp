// Paths, the settings file that stands in for the registry key, language files and
// the start-up choice of the UI language.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "config/AppPaths.h"
#include "config/LanguageText.h"
#include "config/Settings.h"
#include "config/SoftwareInfo.h"
#include "config/XmlDocument.h"
#include "TestFiles.h"

namespace keyloft {
namespace {

using testing::ReadBytes;
using testing::ScopedEnv;
using testing::TempDir;
using testing::WriteBytes;

// Every per-user folder inside a temporary one, and a software name of our own.
class UserFolders : public ::testing::Test {
protected:
    UserFolders()
        : config_("XDG_CONFIG_HOME", (dir_ / "config").c_str()),
          data_("XDG_DATA_HOME", (dir_ / "data").c_str()) {}
    void SetUp() override {
        SetSoftwareName(L"Test Board");
        SetProgramDirectory(dir_ / "program");
    }
    void TearDown() override {
        SetSoftwareName(L"");
        SetProgramDirectory("");
        SetCurrentLanguageId(1033);
    }
    std::string SettingsFile() { return dir_ / "config/Test Board/settings.ini"; }

    TempDir dir_;
    ScopedEnv config_, data_;
};

TEST_F(UserFolders, PathsFollowTheSoftwareNameAndXdg) {
    EXPECT_EQ(SettingsFilePath(), SettingsFile());
    EXPECT_EQ(DataDirectory(), dir_ / "data/Test Board Files/");
    EXPECT_EQ(ProgramDirectory(), dir_ / "program/");
    EXPECT_EQ(ProgramDirectory(false), dir_ / "program");
    SetSoftwareName(L"");
    EXPECT_EQ(DataDirectory(), dir_ / "data/ Files/");
    {
        ScopedEnv relative("XDG_DATA_HOME", "relative/path");  // ignored as XDG says
        ScopedEnv home("HOME", dir_.path().c_str());
        EXPECT_EQ(DataDirectory(), dir_ / ".local/share/ Files/");
    }
}

TEST_F(UserFolders, CreateDirectoryPathMakesEveryMissingLevel) {
    const std::string deep = dir_ / "a/b/c/db";
    EXPECT_TRUE(CreateDirectoryPath(deep));
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_TRUE(CreateDirectoryPath(deep));  // existing: true, nothing else happens
    WriteBytes(dir_ / "file", "x");
    EXPECT_FALSE(CreateDirectoryPath(dir_ / "file/below"));
}

TEST_F(UserFolders, SettingValuesReadAsTheirLeadingNumber) {
    EXPECT_EQ(ReadSettingValue(L"exit_mode"), 0);  // first read creates the file
    ASSERT_TRUE(std::filesystem::exists(SettingsFile()));
    struct Case {
        const wchar_t* written;
        int read;
    } cases[] = {{L"2", 2}, {L"0", 0}, {L" 12x", 12}, {L"abc", 0}, {L"", 0}, {L"-3", -3}};
    for (const Case& c : cases) {
        WriteSettingValue(L"exit_mode", c.written);
        EXPECT_EQ(ReadSettingValue(L"exit_mode"), c.read) << c.written;
    }
    EXPECT_EQ(ReadSettingValue(L"no_such_value"), 0);
    EXPECT_EQ(ReadSettingValue(L"EXIT_MODE"), -3);  // value names ignore case, as the registry's do
}

TEST_F(UserFolders, WritesKeepOtherValuesAndNeverCreateTheFile) {
    WriteSettingValue(L"LCID", L"1046");
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));

    WriteBytes(SettingsFile(), "; kept\n[settings]\nexit_mode=1\nother=x\n[elsewhere]\nLCID=7\n");
    WriteLanguageId(2052);
    WriteSettingValue(L"exit_mode", L"2\nLCID=9");  // a line break cannot smuggle in a value
    EXPECT_EQ(ReadBytes(SettingsFile()),
              "; kept\n[settings]\nexit_mode=2 LCID=9\nother=x\nLCID=2052\n[elsewhere]\nLCID=7\n");
    EXPECT_EQ(ReadLanguageId(), 2052);
    EXPECT_EQ(ReadSettingValue(L"exit_mode"), 2);
}

TEST_F(UserFolders, LanguageIdIs1033WhenTheSettingsCannotBeCreated) {
    WriteBytes(dir_ / "config", "a file where the folder should be");
    EXPECT_EQ(ReadLanguageId(), 1033);
    EXPECT_EQ(ReadSettingValue(L"exit_mode"), 0);
}

TEST_F(UserFolders, FirstRunUsesTheUserLanguageAndStoresOneForLaterRuns) {
    WriteBytes(dir_ / "program/language/1046.lan", "[KB.DIALOG]\n1=Fechar\n");
    struct Case {
        const char* locale;
        int thisRun, stored;
    } cases[] = {
        {"de_DE.UTF-8", 1031, 2052},  // no texts shipped: later runs use 2052
        {"en_US.UTF-8", 1033, 1033},
        {"pt_BR.UTF-8", 1046, 1046},  // shipped: kept for later runs
        {"C", 1033, 1033},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        std::filesystem::remove_all(dir_ / "config");
        ScopedEnv language("LANGUAGE", nullptr), all("LC_ALL", nullptr), messages("LC_MESSAGES", nullptr);
        ScopedEnv lang("LANG", c.locale);
        EXPECT_EQ(ChooseStartupLanguage(), c.thisRun);
        EXPECT_EQ(CurrentLanguageId(), c.thisRun);
        EXPECT_EQ(ReadLanguageId(), c.stored);
        // A later run starts with the stored id whatever the locale says.
        EXPECT_EQ(ChooseStartupLanguage(), c.stored);
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "data/Test Board Files/db"));
}

TEST(LocaleNames, MapToLanguageIds) {
    struct Case {
        const char* locale;
        int id;
    } cases[] = {
        {"en_US.UTF-8", 1033}, {"en", 1033},        {"en_GB", 2057},         {"zh_CN.UTF-8", 2052},
        {"zh_TW", 1028},       {"pt_BR.UTF-8", 1046}, {"pt_PT", 2070},       {"pt", 1046},
        {"es_ES.UTF-8", 1034}, {"es_MX", 2058},       {"de_DE@euro", 1031},  {"C", 0},
        {"POSIX", 0},          {"", 0},               {"xx_YY", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(LanguageIdFromLocaleName(c.locale), c.id) << c.locale;
    ScopedEnv language("LANGUAGE", "xx:es_ES:en"), all("LC_ALL", "de_DE.UTF-8");
    EXPECT_EQ(UserDefaultUILanguage(), 1034);  // the first known entry of LANGUAGE
}

TEST_F(UserFolders, LanguageTextsComeFromTheSectionOfTheCurrentFile) {
    const std::string longText(300, 'x');
    WriteBytes(dir_ / "program/language/1034.lan",
               "\xEF\xBB\xBF; comment\n[Other]\n5=wrong section\n[kb.dialog]\r\n"
               " 5 = Sitio web \r\n65=Perfil\n70=\"  quoted  \"\n80=" + longText + "\n90\n");
    SetCurrentLanguageId(1034);
    EXPECT_EQ(GetLanguageText(kDialogSection, 5), L"Sitio web");
    EXPECT_EQ(GetLanguageText(kDialogSection, 65), L"Perfil");
    EXPECT_EQ(GetLanguageText(kDialogSection, 70), L"  quoted  ");
    EXPECT_EQ(GetLanguageText(kDialogSection, 80), std::wstring(259, L'x'));
    EXPECT_EQ(GetLanguageText(kDialogSection, 90), L"");
    EXPECT_EQ(GetLanguageText(kDialogSection, 6), L"");
    EXPECT_EQ(GetLanguageText(L"Other", 5), L"wrong section");
    SetCurrentLanguageId(1041);  // no such file
    EXPECT_EQ(GetLanguageText(kDialogSection, 5), L"");
}

TEST_F(UserFolders, SoftwareInformationIsReadInItsOrder) {
    const std::string ordered =
        "<config><device.info/><software name=\"Kb\" version=\"1.0.1\"><website url=\"w\"/><store url=\"s\"/>"
        "<upgrade url=\"u\"/><copyright info=\"c &amp; co\"/></software></config>";
    const std::string upgradeFirst =
        "<config><software name=\"Kb\"><website url=\"w\"/><upgrade url=\"u\"/><store url=\"s\"/>"
        "<copyright info=\"c\"/></software><device.info/></config>";
    WriteBytes(dir_ / "a.xml", ordered);
    WriteBytes(dir_ / "b.xml", upgradeFirst);
    WriteBytes(dir_ / "broken.xml", "<config><software name=\"Kb\"></config>");

    XmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(dir_ / "a.xml") && doc.FindElement(L"config") && doc.EnterElement() &&
                doc.FindElement(L"device.info"));
    SoftwareInfo info;
    ReadSoftwareInfo(doc, info);
    EXPECT_EQ(info.version, L"1.0.1");
    EXPECT_EQ(info.store, L"s");
    EXPECT_EQ(info.upgrade, L"u");
    EXPECT_EQ(info.notice, L"c & co");

    XmlDocument other;
    ASSERT_TRUE(other.LoadFile(dir_ / "b.xml") && other.FindElement(L"config") && other.EnterElement());
    ReadSoftwareInfo(other, info);
    EXPECT_EQ(info.store, L"s");
    EXPECT_EQ(info.upgrade, L"");  // upgrade before store is not seen
    EXPECT_EQ(info.notice, L"c");

    // At start-up the name is found wherever software stands.
    EXPECT_EQ(ReadSoftwareName(dir_ / "b.xml"), L"Kb");
    EXPECT_EQ(ReadSoftwareName(dir_ / "broken.xml"), L"");
    EXPECT_EQ(ReadSoftwareName(dir_ / "missing.xml"), L"");
}

}  // namespace
}  // namespace keyloft
