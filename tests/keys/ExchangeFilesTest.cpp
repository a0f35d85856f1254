#include "keys/ExchangeFiles.h"

#include "KeysTestSupport.h"
#include "keys/KeyFunction.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace keyloft {
namespace {

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::filesystem::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

struct Exchange : test::StoreFixture {
    int ProfileCount() {
        std::vector<ProfileRecord> l;
        return store.LoadProfiles(l);
    }
    int MacroCount() {
        std::vector<MacroRecord> l;
        return store.LoadMacros(l);
    }
    std::vector<KeyAssignment> Keys(int p) {
        std::vector<KeyAssignment> l;
        store.LoadProfileKeyAssignments(p, l);
        return l;
    }
};

TEST_F(Exchange, ProfileFileHasTheExactShape) {
    const int m = Macro(L"Fire & \"Ice\"", 2, 1, 35);
    Key(0, 41, kKindKey, 40, L"<ENTER>");
    Key(1, 4, kKindMacro, m, L"Fire & \"Ice\"");
    const auto path = dir.path() / "Game.xml";
    ASSERT_TRUE(ExportProfile(store, profile, L"Game", path));
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<profile>\r\n"
        "<profileinfo name=\"Game\"/>\r\n"
        "<keyitems>\r\n"
        "<item fn_layer=\"0\" key_code=\"41\" layout_value=\"0\" layout_desc=\"\" macro_type=\"2\" "
        "macro_value=\"40\" macro_value2=\"0\" macro_value3=\"0\" macro_desc=\"&lt;ENTER&gt;\"/>\r\n"
        "<item fn_layer=\"1\" key_code=\"4\" layout_value=\"0\" layout_desc=\"\" macro_type=\"3\" "
        "macro_value=\"" + std::to_string(m) + "\" macro_value2=\"0\" macro_value3=\"0\" "
        "macro_desc=\"Fire &amp; &quot;Ice&quot;\"/>\r\n"
        "</keyitems>\r\n"
        "<macroinfo name=\"Fire &amp; &quot;Ice&quot;\" macro_id=\"" + std::to_string(m) +
        "\" times=\"2\" type=\"1\" delaytime=\"0\">\r\n"
        "<macroitems>\r\n"
        "<item desc=\"A\" type=\"2\" value=\"65\" delay_time=\"35\"/>\r\n"
        "<item desc=\"A\" type=\"3\" value=\"65\" delay_time=\"35\"/>\r\n"
        "</macroitems>\r\n"
        "</macroinfo>\r\n"
        "</profile>\r\n";
    EXPECT_EQ(ReadFile(path), expected);

    // An independent parser reads the same document.
    xmlDocPtr doc = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    ASSERT_NE(doc, nullptr);
    xmlNodePtr root = xmlDocGetRootElement(doc);
    EXPECT_STREQ(reinterpret_cast<const char*>(root->name), "profile");
    int elements = 0;
    for (xmlNodePtr n = root->children; n; n = n->next)
        if (n->type == XML_ELEMENT_NODE) ++elements;
    EXPECT_EQ(elements, 3);  // profileinfo, keyitems, macroinfo
    xmlFreeDoc(doc);
}

TEST_F(Exchange, ProfileRoundTripKeepsKeysAndMacroSteps) {
    const int m1 = Macro(L"One", 3, 2, 15);
    const int m2 = Macro(L"Two", 1, 1, 31000);
    Key(0, 4, kKindMacro, m1, L"One");
    Key(0, 5, kKindMacro, m1, L"One");  // the same macro on two keys
    Key(1, 6, kKindMacro, m2, L"Two");
    Key(0, 7, kKindShortcut, 15, L"Alt+F4");
    Key(1, 8, kKindMouseButton, 3, L"right");
    {
        KeyAssignment a;
        a.profile = profile, a.fn_layer = 0, a.key_code = 9, a.layout_value = -7, a.layout_desc = L"x y";
        a.macro_type = kKindText, a.macro_value = 12, a.macro_value2 = -3, a.macro_value3 = 4;
        a.macro_desc = L"Grüße ✓";
        store.SaveKeyAssignment(a);
    }
    const auto path = dir.path() / "Work.keys.xml";
    ASSERT_TRUE(ExportProfile(store, profile, L"Work profile", path));
    const std::string text = ReadFile(path);
    std::size_t infos = 0;
    for (auto at = text.find("<macroinfo"); at != std::string::npos; at = text.find("<macroinfo", at + 1)) ++infos;
    EXPECT_EQ(infos, 3u);

    // Into another store: every macro is new, one of them twice.
    test::TempDir otherDir;
    ProfileStore other;
    ASSERT_TRUE(other.Open(otherDir.path().wstring() + L"/", L"Keyloft K1"));
    const ImportResult r = ImportProfile(other, path);
    ASSERT_TRUE(r.accepted);
    EXPECT_EQ(r.profileName, L"Work");
    ASSERT_EQ(r.newMacros.size(), 3u);
    EXPECT_EQ(r.newMacros[0].first, L"One");
    EXPECT_EQ(r.newMacros[1].first, L"One");
    std::vector<KeyAssignment> before = Keys(profile), after;
    other.LoadProfileKeyAssignments(r.profileId, after);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        const auto& b = before[i];
        const auto& a = after[i];
        EXPECT_EQ(std::tie(a.fn_layer, a.key_code, a.layout_value, a.layout_desc, a.macro_type, a.macro_value2,
                           a.macro_value3, a.macro_desc),
                  std::tie(b.fn_layer, b.key_code, b.layout_value, b.layout_desc, b.macro_type, b.macro_value2,
                           b.macro_value3, b.macro_desc));
        if (a.macro_type != kKindMacro) {
            EXPECT_EQ(a.macro_value, b.macro_value);
            continue;
        }
        // the key plays a macro of the new store with the same steps
        MacroRecord src, dst;
        ASSERT_TRUE(store.GetMacro(b.macro_value, src));
        ASSERT_TRUE(other.GetMacro(a.macro_value, dst));
        EXPECT_EQ(dst.name, src.name);
        EXPECT_EQ(dst.play_times, src.play_times);
        std::vector<MacroStep> s1, s2;
        store.LoadMacroSteps(b.macro_value, s1);
        other.LoadMacroSteps(a.macro_value, s2);
        ASSERT_EQ(s1.size(), s2.size());
        for (std::size_t j = 0; j < s1.size(); ++j) {
            EXPECT_EQ(std::tie(s2[j].type, s2[j].value, s2[j].delay_time, s2[j].desc, s2[j].record_index),
                      std::tie(s1[j].type, s1[j].value, s1[j].delay_time, s1[j].desc, s1[j].record_index));
        }
    }
    // the file id of "One" maps to its second copy
    KeyAssignment k;
    ASSERT_TRUE(other.GetKeyAssignment(r.profileId, 0, 4, k));
    EXPECT_EQ(k.macro_value, r.newMacros[1].second);

    // Back into the store it came from: its macros still exist, nothing new.
    const int macrosBefore = MacroCount();
    const ImportResult home = ImportProfile(store, path);
    EXPECT_TRUE(home.newMacros.empty());
    EXPECT_EQ(MacroCount(), macrosBefore);
    ASSERT_TRUE(store.GetKeyAssignment(home.profileId, 1, 6, k));
    EXPECT_EQ(k.macro_value, m2);
}

TEST_F(Exchange, ProfilesWithoutKeys) {
    const auto path = dir.path() / "Empty.xml";
    ASSERT_TRUE(ExportProfile(store, profile, L"Empty", path));
    const std::string text = ReadFile(path);
    EXPECT_NE(text.find("<keyitems/>\r\n"), std::string::npos);
    EXPECT_EQ(text.find("macroinfo"), std::string::npos);
    const ImportResult r = ImportProfile(store, path);
    ASSERT_GT(r.profileId, 0);
    EXPECT_TRUE(Keys(r.profileId).empty());
    EXPECT_EQ(NameFromFileTitle("/a/b.c/noext"), L"");
    EXPECT_EQ(NameFromFileTitle("/a/.hidden.xml"), L"");
}

TEST_F(Exchange, MacroRoundTripIsNamedAfterTheFile) {
    const int m = Macro(L"Original", 5, 3, 250);
    const auto path = dir.path() / "Combo.v2.xml";
    ASSERT_TRUE(ExportMacro(store, m, path));
    const std::string text = ReadFile(path);
    EXPECT_TRUE(text.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<macro>\r\n"
                                 "<macroinfo name=\"Original\" times=\"5\" type=\"1\" delaytime=\"0\"/>\r\n"))
        << text;
    EXPECT_NE(text.find("delaytime=\"0\"/>\r\n<macroitems>\r\n<item desc=\"A\""), std::string::npos);
    const ImportResult r = ImportMacro(store, path);
    ASSERT_GT(r.macroId, 0);
    MacroRecord got;
    ASSERT_TRUE(store.GetMacro(r.macroId, got));
    EXPECT_EQ(got.name, L"Combo");
    EXPECT_EQ(got.play_times, 5);
    std::vector<MacroStep> a, b;
    store.LoadMacroSteps(m, a);
    store.LoadMacroSteps(r.macroId, b);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(std::tie(a[i].type, a[i].value, a[i].delay_time, a[i].desc),
                  std::tie(b[i].type, b[i].value, b[i].delay_time, b[i].desc));
}

TEST_F(Exchange, BadFilesImportNothingAndLoseNothing) {
    const int m = Macro(L"Keep", 1, 1);
    Key(0, 4, kKindMacro, m, L"Keep");
    const auto good = dir.path() / "Good.xml";
    ASSERT_TRUE(ExportProfile(store, profile, L"Good", good));
    const std::string text = ReadFile(good);
    const auto macroFile = dir.path() / "Macro.xml";
    ASSERT_TRUE(ExportMacro(store, m, macroFile));

    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    const std::string hugeName(kMaxExchangeTextLength + 1, 'x');
    struct Row { const char* what; std::string content; };
    const Row rows[] = {
        {"truncated", text.substr(0, text.size() / 2)},
        {"not well-formed", replaced("</keyitems>", "</keyitem>")},
        {"a huge attribute value", replaced("name=\"Keep\"", "name=\"" + hugeName + "\"")},
        {"a negative key code", replaced("key_code=\"4\"", "key_code=\"-4\"")},
        {"a key code outside the code space", replaced("key_code=\"4\"", "key_code=\"260\"")},
        {"an overlong number", replaced("times=\"1\"", "times=\"99999999999999999999\"")},
        {"a negative delay", replaced("delay_time=\"20\"", "delay_time=\"-20\"")},
        {"a layer that does not exist", replaced("fn_layer=\"0\"", "fn_layer=\"2\"")},
        {"a macro file", ReadFile(macroFile)},
        {"empty", ""},
        {"binary", std::string("\x00\xff\xfe<", 4)},
    };
    const int profiles = ProfileCount(), macros = MacroCount();
    for (const Row& r : rows) {
        const auto path = dir.path() / "Bad.xml";
        WriteFile(path, r.content);
        const ImportResult res = ImportProfile(store, path);
        EXPECT_TRUE(res.fileExists) << r.what;
        EXPECT_FALSE(res.accepted) << r.what;
        EXPECT_EQ(ProfileCount(), profiles) << r.what;
        EXPECT_EQ(MacroCount(), macros) << r.what;
    }
    // a profile file is no macro file, and a missing file is no file
    EXPECT_FALSE(ImportMacro(store, good).accepted);
    EXPECT_FALSE(ImportMacro(store, dir.path() / "missing.xml").fileExists);
    EXPECT_FALSE(ImportProfile(store, dir.path() / "missing.xml").fileExists);
    EXPECT_EQ(MacroCount(), macros);
    // the originals are untouched
    KeyAssignment k;
    ASSERT_TRUE(store.GetKeyAssignment(profile, 0, 4, k));
    EXPECT_EQ(k.macro_value, m);
}

TEST_F(Exchange, AKeyPlayingAMacroTheFileDoesNotCarryIsLeftOut) {
    const int unrelated = Macro(L"Unrelated", 1, 1);
    const auto path = dir.path() / "Hand.xml";
    WriteFile(path,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<profile>\r\n<profileinfo name=\"x\"/>\r\n"
              "<keyitems>\r\n"
              "<item fn_layer=\"0\" key_code=\"4\" macro_type=\"3\" macro_value=\"" + std::to_string(unrelated) +
              "\" macro_desc=\"Other\"/>\r\n"
              "<item fn_layer=\"0\" key_code=\"5\" macro_type=\"2\" macro_value=\"6\"/>\r\n"
              "</keyitems>\r\n</profile>\r\n");
    const ImportResult r = ImportProfile(store, path);
    ASSERT_GT(r.profileId, 0);
    const auto keys = Keys(r.profileId);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].key_code, 5);
}

TEST_F(Exchange, AFailedExportLeavesNoFileAndKeepsAnOldOne) {
    EXPECT_FALSE(ExportProfile(store, profile, L"x", dir.path() / "no-such-dir" / "x.xml"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "no-such-dir"));
    const auto path = dir.path() / "old.xml";
    WriteFile(path, "old");
    std::filesystem::create_directory(dir.path() / "old.xml.part");  // the temporary cannot be made
    EXPECT_FALSE(ExportProfile(store, profile, L"x", path));
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_FALSE(ExportMacro(store, 4242, dir.path() / "m.xml"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "m.xml"));
}

}  // namespace
}  // namespace keyloft
