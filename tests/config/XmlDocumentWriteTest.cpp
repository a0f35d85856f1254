// Building documents: the written shape, escaping, and that edits keep the element
// index true to the text.
#include <gtest/gtest.h>

#include <string>

#include "config/XmlDocument.h"

namespace keyloft {
namespace {

TEST(XmlDocumentWrite, AnExportedProfileHasOneElementPerLineWithCrLf) {
    XmlDocument doc;
    doc.SetText(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    doc.AddElement(L"profile");
    ASSERT_TRUE(doc.EnterElement());
    doc.AddElement(L"profileinfo");
    doc.SetAttribute(L"name", L"Game");
    doc.AddElement(L"keyitems");
    ASSERT_TRUE(doc.EnterElement());
    doc.AddElement(L"item");
    doc.SetAttribute(L"fn_layer", L"0");
    doc.SetAttribute(L"key_code", L"41");
    EXPECT_EQ(doc.Text(),
              L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              L"<profile>\r\n"
              L"<profileinfo name=\"Game\"/>\r\n"
              L"<keyitems>\r\n"
              L"<item fn_layer=\"0\" key_code=\"41\"/>\r\n"
              L"</keyitems>\r\n"
              L"</profile>\r\n");
    EXPECT_TRUE(doc.IsWellFormed());
}

TEST(XmlDocumentWrite, SetAttributeEscapesAndReplacesInPlace) {
    XmlDocument doc;
    doc.SetText(L"<m a='old' b=bare c/>");
    ASSERT_TRUE(doc.FindElement(L"m"));
    doc.SetAttribute(L"a", L"say \"hi\" & <go> 'now'");
    doc.SetAttribute(L"b", L"2");
    doc.SetAttribute(L"c", L"3");
    doc.SetAttribute(L"d", L"4");
    EXPECT_EQ(doc.Text(), L"<m a=\"say &quot;hi&quot; &amp; &lt;go&gt; &apos;now&apos;\" b=\"2\" c=\"3\" d=\"4\"/>");
    EXPECT_EQ(doc.GetAttribute(L"a"), L"say \"hi\" & <go> 'now'");
    EXPECT_EQ(doc.GetAttribute(L"d"), L"4");
}

TEST(XmlDocumentWrite, EditsShiftTheElementsThatFollow) {
    // Edits early in the document must leave later elements readable and findable,
    // and a new sibling must land between the current element and the next one.
    XmlDocument doc;
    doc.SetText(L"<r>\r\n<a x=\"1\"/>\r\n<b>\r\n<c y=\"2\"/>\r\n</b>\r\n<d/>\r\n</r>\r\n");
    ASSERT_TRUE(doc.FindElement(L"r") && doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"a"));
    doc.SetAttribute(L"x", L"a much longer value than before");
    doc.AddElement(L"new");  // after a, before b
    doc.SetAttribute(L"z", L"3");
    ASSERT_TRUE(doc.FindElement(L"b") && doc.EnterElement() && doc.FindElement(L"c"));
    EXPECT_EQ(doc.GetAttribute(L"y"), L"2");
    doc.AddElement(L"c2");
    ASSERT_TRUE(doc.LeaveElement() && doc.FindElement(L"d"));
    doc.SetAttribute(L"w", L"5");
    EXPECT_EQ(doc.Text(),
              L"<r>\r\n<a x=\"a much longer value than before\"/>\r\n<new z=\"3\"/>\r\n<b>\r\n<c y=\"2\"/>\r\n"
              L"<c2/>\r\n</b>\r\n<d w=\"5\"/>\r\n</r>\r\n");

    // The index built by the edits agrees with a fresh parse of the same text.
    XmlDocument fresh;
    fresh.SetText(doc.Text());
    EXPECT_TRUE(fresh.IsWellFormed());
    ASSERT_TRUE(fresh.FindElement(L"r") && fresh.EnterElement() && fresh.FindElement(L"new"));
    EXPECT_EQ(fresh.GetAttribute(L"z"), L"3");
    ASSERT_TRUE(fresh.FindElement(L"b") && fresh.EnterElement() && fresh.FindElement(L"c2"));
}

TEST(XmlDocumentWrite, AddingToAParentWithAnEndTagAppendsAsItsLastChild) {
    XmlDocument doc;
    doc.SetText(L"<r><a/></r>");
    ASSERT_TRUE(doc.FindElement(L"r") && doc.EnterElement());
    doc.AddElement(L"z");  // position 0: last child of r
    EXPECT_EQ(doc.Text(), L"<r><a/>\r\n<z/>\r\n</r>");
    // Leaving and entering again returns to the new element, the last child.
    ASSERT_TRUE(doc.LeaveElement() && doc.EnterElement());
    EXPECT_EQ(doc.GetTagName(), L"z");
    EXPECT_FALSE(doc.FindNextElement());
    doc.ResetPosition();
    ASSERT_TRUE(doc.FindElement(L"r") && doc.EnterElement() && doc.FindElement(L"a") && doc.FindElement(L"z"));
}

TEST(XmlDocumentWrite, SetAttributeWithoutACurrentElementDoesNothing) {
    XmlDocument doc;
    doc.SetText(L"<r/>");
    doc.SetAttribute(L"a", L"1");
    EXPECT_EQ(doc.Text(), L"<r/>");
}

}  // namespace
}  // namespace keyloft
