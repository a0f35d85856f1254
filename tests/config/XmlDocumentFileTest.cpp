// Reading and writing files: byte-order marks, encodings, NULs, the writing rules.
#include <gtest/gtest.h>

#include <string>

#include "config/XmlDocument.h"
#include "config/XmlEncoding.h"
#include "TestFiles.h"

namespace keyloft {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

std::string Utf16(const std::wstring& text, bool bigEndian) {
    std::string out;
    for (wchar_t c : text) {
        char32_t cp = static_cast<char32_t>(c);
        auto unit = [&](char16_t u) {
            char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
            out += bigEndian ? hi : lo;
            out += bigEndian ? lo : hi;
        };
        if (cp > 0xFFFF) {
            cp -= 0x10000;
            unit(static_cast<char16_t>(0xD800 + (cp >> 10)));
            unit(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            unit(static_cast<char16_t>(cp));
        }
    }
    return out;
}

// The `name` of the root element of a loaded file.
std::wstring RootName(XmlDocument& doc) {
    if (!doc.FindNextElement()) return L"<no root>";
    return doc.GetAttribute(L"name");
}

TEST(XmlDocumentFile, ByteOrderMarksAndNulsDoNotChangeWhatIsRead) {
    TempDir dir;
    const std::wstring text = L"<k name=\"Grüße 键盘 \U0001F600\"/>";
    const std::string utf8 = "<k name=\"Gr\xC3\xBC\xC3\x9F" "e \xE9\x94\xAE\xE7\x9B\x98 \xF0\x9F\x98\x80\"/>";
    struct Case {
        const char* label;
        std::string bytes;
    } cases[] = {
        {"utf-8 without mark", utf8},
        {"utf-8 with mark", "\xEF\xBB\xBF" + utf8},
        {"utf-16le with mark", std::string("\xFF\xFE") + Utf16(text, false)},
        {"utf-16be with mark", std::string("\xFE\xFF") + Utf16(text, true)},
        {"utf-8 with NULs inside", ""},
    };
    // Build the NUL case by hand: string literals stop at the first NUL.
    cases[4].bytes = utf8;
    cases[4].bytes.insert(2, 1, '\0');
    cases[4].bytes.insert(10, 2, '\0');
    for (const Case& c : cases) {
        WriteBytes(dir / "f.xml", c.bytes);
        XmlDocument doc;
        EXPECT_TRUE(doc.LoadFile(dir / "f.xml")) << c.label;
        EXPECT_EQ(RootName(doc), L"Grüße 键盘 \U0001F600") << c.label;
    }
}

TEST(XmlDocumentFile, NulUnitsOfAUtf16FileAreDropped) {
    TempDir dir;
    std::string bytes = std::string("\xFF\xFE") + Utf16(L"<k name=\"ab\"/>", false);
    bytes.insert(2 + 2 * 9, std::string("\0\0", 2));  // a NUL unit between a and b
    WriteBytes(dir / "f.xml", bytes);
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(dir / "f.xml"));
    EXPECT_EQ(RootName(doc), L"ab");
}

TEST(XmlDocumentFile, DeclaredEightBitEncodingsAreConverted) {
    TempDir dir;
    struct Case {
        const char* label;
        std::string bytes;
        std::wstring name;
    } cases[] = {
        {"windows-1252", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><k name=\"caf\xE9 \x80\"/>", L"café €"},
        {"latin1 alias", "<?xml version='1.0' encoding='latin1'?><k name=\"caf\xE9\"/>", L"café"},
        {"gbk", "<?xml version=\"1.0\" encoding=\"GBK\"?><k name=\"\xBC\xFC\xC5\xCC\"/>", L"键盘"},
        {"html meta charset",
         "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\"/></head>"
         "<body><k name=\"\xE9\"/></body></html>",
         L""},
        // No declaration, first byte not '<', bytes not UTF-8: the ANSI stand-in.
        {"ansi fallback", " <k name=\"na\xEFve\"/>", L"naïve"},
    };
    for (const Case& c : cases) {
        WriteBytes(dir / "f.xml", c.bytes);
        XmlDocument doc;
        ASSERT_TRUE(doc.LoadFile(dir / "f.xml")) << c.label;
        if (std::string(c.label) == "html meta charset") {
            ASSERT_TRUE(doc.FindElement(L"html") && doc.EnterElement() && doc.FindElement(L"body") &&
                        doc.EnterElement() && doc.FindElement(L"k"));
            EXPECT_EQ(doc.GetAttribute(L"name"), L"é");
        } else {
            EXPECT_EQ(RootName(doc), c.name) << c.label;
        }
    }
}

TEST(XmlEncodingNames, TheListedNamesMapAsStated) {
    struct Case {
        const char* declared;
        const char* iconvName;
    } cases[] = {
        {"utf-8", "UTF-8"}, {"UTF8", "UTF-8"}, {"cp65001", "UTF-8"},
        {"utf-16", "UTF-16LE"}, {"Unicode", "UTF-16LE"}, {"utf-16be", "UTF-16BE"},
        {"windows-1252", "CP1252"}, {"CP1252", "CP1252"},
        {"iso-8859-1", "ISO-8859-1"}, {"latin1", "ISO-8859-1"}, {"us-ascii", "ASCII"},
        {"shift_jis", "CP932"}, {"gb2312", "CP936"}, {"GBK", "CP936"}, {"gb18030", "GB18030"},
        {"ks_c_5601-1987", "CP949"}, {"big5", "CP950"}, {"euc-kr", "EUC-KR"}, {"euc-jp", "EUC-JP"},
        {"koi8-r", "KOI8-R"}, {"utf-32", "UTF-32LE"},
        {"no-such-charset", ""}, {"UTF-8//TRANSLIT", ""}, {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(xmlenc::ResolveEncoding(c.declared), c.iconvName) << c.declared;
}

TEST(XmlEncodingNames, Utf8DetectionFollowsTheLeadAndContinuationRules) {
    EXPECT_TRUE(xmlenc::LooksLikeUtf8("plain \xC3\xA9 \xE9\x94\xAE \xF0\x9F\x98\x80"));
    EXPECT_FALSE(xmlenc::LooksLikeUtf8("caf\xE9"));             // lead byte without followers
    EXPECT_FALSE(xmlenc::LooksLikeUtf8("\x80"));                // continuation as lead
    EXPECT_FALSE(xmlenc::LooksLikeUtf8("\xF8\x80\x80\x80\x80"));  // 11111xxx lead
    EXPECT_FALSE(xmlenc::LooksLikeUtf8("\xE9\x94"));            // cut short at the end
}

TEST(XmlDocumentFile, AMissingFileFailsAndLeavesAnEmptyDocument) {
    TempDir dir;
    XmlDocument doc;
    doc.SetText(L"<old/>");
    EXPECT_FALSE(doc.LoadFile(dir / "missing.xml"));
    EXPECT_NE(doc.ResultText().find(L"file_error"), std::wstring::npos);
    EXPECT_FALSE(doc.FindElement(L"old"));
    EXPECT_EQ(doc.Text(), L"");
}

TEST(XmlDocumentFile, ABrokenFileLeavesNothingToRead) {
    TempDir dir;
    WriteBytes(dir / "broken.xml", "<config><software name=\"x\"></config><second/>");
    XmlDocument doc;
    EXPECT_FALSE(doc.LoadFile(dir / "broken.xml"));
    EXPECT_FALSE(doc.FindElement(L"config"));
    EXPECT_FALSE(doc.FindNextElement());
    EXPECT_NE(doc.ResultText().find(L"root_has_sibling"), std::wstring::npos);
}

TEST(XmlDocumentFile, SaveWritesTheDeclaredEncodingWithoutAMark) {
    TempDir dir;
    XmlDocument doc;
    doc.SetText(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    doc.AddElement(L"profile");
    doc.SetAttribute(L"name", L"Jeu \"é\" 键");
    ASSERT_TRUE(doc.SaveFile(dir / "out.xml"));
    EXPECT_EQ(ReadBytes(dir / "out.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<profile name=\"Jeu &quot;\xC3\xA9&quot; \xE9\x94\xAE\"/>\r\n");

    XmlDocument latin;
    latin.SetText(L"<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<k name=\"é\"/>\r\n");
    ASSERT_TRUE(latin.SaveFile(dir / "latin.xml"));
    EXPECT_EQ(ReadBytes(dir / "latin.xml"), "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<k name=\"\xE9\"/>\r\n");
    XmlDocument back;
    ASSERT_TRUE(back.LoadFile(dir / "latin.xml"));
    ASSERT_TRUE(back.FindElement(L"k"));
    EXPECT_EQ(back.GetAttribute(L"name"), L"é");

    // An HTML document declares its charset in a meta element; saving honours it
    // as reading does, so the file reads back with the same text.
    const std::wstring html =
        L"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\"/></head>"
        L"<body><k name=\"é\"/></body></html>";
    XmlDocument page;
    page.SetText(html);
    ASSERT_TRUE(page.SaveFile(dir / "page.html"));
    std::string bytes = ReadBytes(dir / "page.html");
    EXPECT_NE(bytes.find("name=\"\xE9\""), std::string::npos);
    XmlDocument pageBack;
    ASSERT_TRUE(pageBack.LoadFile(dir / "page.html"));
    EXPECT_EQ(pageBack.Text(), html);
}

TEST(XmlDocumentFile, SaveIntoAMissingFolderFails) {
    TempDir dir;
    XmlDocument doc;
    doc.SetText(L"<a/>");
    EXPECT_FALSE(doc.SaveFile(dir / "no/such/folder/out.xml"));
}

}  // namespace
}  // namespace keyloft
