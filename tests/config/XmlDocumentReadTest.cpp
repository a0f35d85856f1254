// Parsing, the cursor and attribute decoding of XmlDocument.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/XmlDocument.h"

namespace keyloft {
namespace {

// The names of every element at the cursor's level that FindElement(name) visits.
std::vector<std::wstring> Walk(XmlDocument& doc, const std::wstring& name, const std::wstring& attribute) {
    std::vector<std::wstring> seen;
    while (doc.FindElement(name)) seen.push_back(doc.GetAttribute(attribute));
    return seen;
}

TEST(XmlDocumentCursor, RepeatedFindWalksMatchingSiblingsInOrderThenFails) {
    XmlDocument doc;
    doc.SetText(L"<device.info><keyboard name='a'/><note/><keyboard name=\"b\"><mode/></keyboard>"
                L"<keyboard name=c /></device.info>");
    ASSERT_TRUE(doc.IsWellFormed());
    ASSERT_TRUE(doc.FindElement(L"device.info"));
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(Walk(doc, L"keyboard", L"name"), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    // A failed search leaves the cursor on the last match.
    EXPECT_EQ(doc.GetAttribute(L"name"), L"c");
    EXPECT_FALSE(doc.FindElement(L"keyboard"));
    EXPECT_EQ(doc.GetAttribute(L"name"), L"c");
}

TEST(XmlDocumentCursor, SearchContinuesAfterTheCurrentElementSoEarlierSiblingsAreNotFound) {
    XmlDocument doc;
    doc.SetText(L"<config><software/><device.info><keyboard><mode value='0'/><mode value='2'/></keyboard>"
                L"</device.info><after/></config>");
    ASSERT_TRUE(doc.FindElement(L"config") && doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"device.info") && doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"keyboard") && doc.EnterElement());
    EXPECT_EQ(Walk(doc, L"mode", L"value"), (std::vector<std::wstring>{L"0", L"2"}));
    ASSERT_TRUE(doc.LeaveElement());  // back on keyboard
    ASSERT_TRUE(doc.LeaveElement());  // back on device.info
    EXPECT_FALSE(doc.FindElement(L"software"));  // it comes before device.info
    EXPECT_TRUE(doc.FindElement(L"after"));
}

TEST(XmlDocumentCursor, EnterAfterLeaveReturnsToTheChildThatWasCurrent) {
    XmlDocument doc;
    doc.SetText(L"<r><a><x n='1'/><x n='2'/><x n='3'/></a></r>");
    ASSERT_TRUE(doc.FindElement(L"r") && doc.EnterElement() && doc.FindElement(L"a") && doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"x") && doc.FindElement(L"x"));
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.EnterElement());  // the child position was x #2
    EXPECT_EQ(doc.GetAttribute(L"n"), L"2");
    ASSERT_TRUE(doc.FindElement(L"x"));
    EXPECT_EQ(doc.GetAttribute(L"n"), L"3");
}

TEST(XmlDocumentCursor, NavigationOnAnEmptyDocumentFailsEverywhere) {
    XmlDocument doc;
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_FALSE(doc.LeaveElement());
    EXPECT_FALSE(doc.FindElement(L"x"));
    EXPECT_EQ(doc.GetAttribute(L"x"), L"");
    EXPECT_FALSE(doc.IsWellFormed());
}

TEST(XmlDocumentCursor, NamesMatchExactlyAndCaseSensitively) {
    XmlDocument doc;
    doc.SetText(L"<r><keyboard/><Keyboard k='1'/><Keyboards/></r>");
    ASSERT_TRUE(doc.FindElement(L"r") && doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"Keyboard"));
    EXPECT_EQ(doc.GetAttribute(L"k"), L"1");
    EXPECT_FALSE(doc.FindElement(L"Keyboard"));  // "Keyboards" is not "Keyboard"
}

TEST(XmlDocumentParse, MarkupThatIsNotAnElementIsSkipped) {
    XmlDocument doc;
    doc.SetText(L"<?xml version=\"1.0\"?>\r\n<!DOCTYPE r [ <!ELEMENT r ANY> ]>\r\n"
                L"<r><!-- <fake/> --><![CDATA[<fake/>]]><?pi <fake/> ?><real a=\"x>y\"/></r>");
    EXPECT_TRUE(doc.IsWellFormed()) << std::string(doc.ResultText().begin(), doc.ResultText().end());
    ASSERT_TRUE(doc.FindElement(L"r") && doc.EnterElement());
    EXPECT_FALSE(doc.FindElement(L"fake"));
    ASSERT_TRUE(doc.FindElement(L"real"));
    EXPECT_EQ(doc.GetAttribute(L"a"), L"x>y");
}

struct WellFormedCase {
    const wchar_t* text;
    bool wellFormed;
};

class XmlDocumentWellFormed : public ::testing::TestWithParam<WellFormedCase> {};

TEST_P(XmlDocumentWellFormed, Outcome) {
    XmlDocument doc;
    doc.SetText(GetParam().text);
    EXPECT_EQ(doc.IsWellFormed(), GetParam().wellFormed);
}

INSTANTIATE_TEST_SUITE_P(Cases, XmlDocumentWellFormed, ::testing::Values(
    WellFormedCase{L"<a><b/></a>", true},
    WellFormedCase{L"  <a>text</a>  ", true},
    WellFormedCase{L"", false},                          // no root element
    WellFormedCase{L"just text", false},                 // no root element
    WellFormedCase{L"<a/><b/>", false},                  // two roots
    WellFormedCase{L"<a></a><a></a>", false},            // two roots
    WellFormedCase{L"<a><b></a>", false},                // b has no end tag
    WellFormedCase{L"<a></b></a>", false},               // lone end tag
    WellFormedCase{L"<a>", false},                       // still open at the end
    WellFormedCase{L"<a b='1></a>", false},              // unterminated quote
    WellFormedCase{L"<a><!-- never closed</a>", false},  // comment syntax
    WellFormedCase{L"<a><![CDATA[x</a>", false},         // CDATA syntax
    WellFormedCase{L"<a>< b/></a>", false}));            // '<' that starts no tag

TEST(XmlDocumentParse, ChildrenOfAnUnendedElementBecomeItsFollowingSiblings) {
    XmlDocument doc;
    doc.SetText(L"<r><a><b n='1'/><b n='2'/></r>");
    EXPECT_FALSE(doc.IsWellFormed());
    ASSERT_TRUE(doc.FindElement(L"r") && doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"a"));
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_FALSE(doc.FindElement(L"b"));  // a holds nothing now
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(Walk(doc, L"b", L"n"), (std::vector<std::wstring>{L"1", L"2"}));
}

TEST(XmlDocumentAttributes, QuotingStylesAndMissingAttributes) {
    XmlDocument doc;
    doc.SetText(L"<k code=\"1E\" name='A' key_index=12 empty=\"\" bare desc = \"spaced\"/>");
    ASSERT_TRUE(doc.FindElement(L"k"));
    EXPECT_EQ(doc.GetAttribute(L"code"), L"1E");
    EXPECT_EQ(doc.GetAttribute(L"name"), L"A");
    EXPECT_EQ(doc.GetAttribute(L"key_index"), L"12");
    EXPECT_EQ(doc.GetAttribute(L"desc"), L"spaced");
    EXPECT_EQ(doc.GetAttribute(L"empty"), L"");
    EXPECT_TRUE(doc.HasAttribute(L"empty"));
    EXPECT_TRUE(doc.HasAttribute(L"bare"));
    EXPECT_EQ(doc.GetAttribute(L"missing"), L"");
    EXPECT_FALSE(doc.HasAttribute(L"missing"));
    EXPECT_EQ(doc.GetAttribute(L"cod"), L"");  // a prefix of a name is not the name
}

struct DecodeCase {
    const wchar_t* written;
    const wchar_t* decoded;
};

class XmlDocumentDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(XmlDocumentDecode, References) {
    EXPECT_EQ(XmlDocument::DecodeReferences(GetParam().written), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(Cases, XmlDocumentDecode, ::testing::Values(
    DecodeCase{L"VID_35C1&amp;PID_4011", L"VID_35C1&PID_4011"},
    DecodeCase{L"&lt;&gt;&quot;&apos;", L"<>\"'"},
    DecodeCase{L"&#65;&#x42;&#X43;", L"ABC"},
    DecodeCase{L"&#x1F600;", L"\U0001F600"},          // one code point above U+FFFF
    DecodeCase{L"&#0;&#x0;", L"&#0;&#x0;"},           // 0 stays undecoded
    DecodeCase{L"&#xD800;", L"&#xD800;"},             // a lone surrogate is no character
    DecodeCase{L"&#x110000;", L"&#x110000;"},         // beyond Unicode
    DecodeCase{L"&copy;&eacute;&euro;&nbsp;", L"\u00A9\u00E9\u20AC\u00A0"},
    DecodeCase{L"&Alpha;&alpha;", L"\u0391\u03B1"},    // exact names keep their case
    DecodeCase{L"&AMP;&Quot;", L"&\""},               // folded when only the folded name exists
    DecodeCase{L"&thetasym;&there4;&frac14;", L"\u03D1\u2234\u00BC"},
    DecodeCase{L"&nosuch; & &amp &;", L"&nosuch; & &amp &;"},
    DecodeCase{L"&verylongname;", L"&verylongname;"}));

TEST(XmlDocumentAttributes, AValueWithoutANameIsSkippedWhole) {
    // The quoted '>' belongs to the nameless value; it must neither end the tag nor
    // stall the attribute scan.
    XmlDocument doc;
    doc.SetText(L"<a =\"x>y\" b='1' c=2 />");
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.GetAttribute(L"b"), L"1");
    EXPECT_EQ(doc.GetAttribute(L"c"), L"2");
    EXPECT_EQ(doc.GetAttributes().size(), 2u);
    EXPECT_EQ(doc.GetAttribute(L"x>y\""), L"");
}

TEST(XmlDocumentAttributes, ValueWithEscapedAmpersandReadsAsOneAmpersand) {
    XmlDocument doc;
    doc.SetText(L"<mode hid_interface=\"VID_35C1&amp;PID_4012\"/>");
    ASSERT_TRUE(doc.FindElement(L"mode"));
    EXPECT_EQ(doc.GetAttribute(L"hid_interface"), L"VID_35C1&PID_4012");
}

TEST(XmlDocumentWalk, FindNextElementAndAttributeListSeeEverything) {
    XmlDocument doc;
    doc.SetText(L"<r><a x='1' y=\"&lt;\"/><b/></r>");
    ASSERT_TRUE(doc.FindNextElement());
    EXPECT_EQ(doc.GetTagName(), L"r");
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindNextElement());
    EXPECT_EQ(doc.GetTagName(), L"a");
    auto attributes = doc.GetAttributes();
    ASSERT_EQ(attributes.size(), 2u);
    EXPECT_EQ(attributes[1].first, L"y");
    EXPECT_EQ(attributes[1].second, L"<");
    ASSERT_TRUE(doc.FindNextElement());
    EXPECT_EQ(doc.GetTagName(), L"b");
    EXPECT_FALSE(doc.FindNextElement());
}

}  // namespace
}  // namespace keyloft
