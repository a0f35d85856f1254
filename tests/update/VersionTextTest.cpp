#include "update/VersionText.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

TEST(CompareVersionsTest, ComparesPartsAsNumbers) {
    struct Case {
        const wchar_t* current;
        const wchar_t* latest;
        int expected;
    };
    const Case cases[] = {
        {L"1.0.1", L"1.0.2", 1},
        {L"1.0.2", L"1.0.1", -1},
        {L"1.0.2", L"1.0.2", 0},
        {L"1.0", L"1.0.0", 2},          // different number of parts
        {L"1.0.0", L"1.0", 2},
        {L"1.0.9", L"1.0.10", 1},       // numbers, not text
        {L"1.0.10", L"1.0.9", -1},
        {L"1.02", L"1.2", 0},           // leading zeros
        {L"1.x", L"1.0", 0},            // no digits counts as 0
        {L"1.2beta", L"1.3", 1},        // only the leading digits count
        {L"2.0", L"10.0", 1},           // the first part decides
        {L"99999999999999999999.1", L"99999999999999999999.2", 1},  // beyond 64 bits
        {L"99999999999999999999", L"100000000000000000000", 1},
        {L"", L"", 0},
        {L"", L"1", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareVersions(c.current, c.latest), c.expected)
            << "current " << testing::PrintToString(std::wstring(c.current)) << " latest "
            << testing::PrintToString(std::wstring(c.latest));
    }
}

TEST(ReleaseAsDecimalTest, HexDigitsReadBackAsDecimal) {
    struct Case {
        int release;
        std::int64_t expected;
    };
    const Case cases[] = {
        {0x0106, 106}, {0x0110, 110}, {0x0000, 0}, {0x1234, 1234},
        {0x01a6, 1},   // reading stops at the first letter
        {0xabcd, 0},   // no leading digit
        {-1, -1},      // no device
    };
    for (const Case& c : cases) EXPECT_EQ(ReleaseAsDecimal(c.release), c.expected) << c.release;
}

TEST(LeadingDecimalTest, ReadsDigitsUntilTheFirstOther) {
    EXPECT_EQ(LeadingDecimal(L"109"), 109);
    EXPECT_EQ(LeadingDecimal(L"1.0.9"), 1);
    EXPECT_EQ(LeadingDecimal(L"v2"), 0);
    EXPECT_EQ(LeadingDecimal(L""), 0);
    EXPECT_EQ(LeadingDecimal(L"99999999999999999999999"), INT64_MAX);
}

TEST(UsableVersionTextTest, AcceptsShortPlainVersionsOnly) {
    struct Case {
        const wchar_t* reply;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"1.0.2", L"1.0.2"},
        {L"1", L"1"},
        {L"1234567890", L"1234567890"},   // exactly 10 characters
        {L"12345678901", L""},            // 11
        {L"", L""},
        {L"1.0.2\n", L"1.0.2"},           // a text file's newline
        {L"  2.0-rc_1+b \r\n", L"2.0-rc_1+b"},
        {L"\uFEFF1.0.3\r\n", L"1.0.3"},      // saved with a byte-order mark
        {L"1.0\uFEFF", L""},
        {L"\n\n", L""},
        {L"../../x", L""},                // would leave the work folder
        {L"1.0/2", L""},
        {L"1.0 2", L""},
        {L"1.0?x=1", L""},
        {L"<html>", L""},
        {L"1.0\u00e9", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UsableVersionText(c.reply), c.expected)
            << testing::PrintToString(std::wstring(c.reply));
    }
}

}  // namespace
}  // namespace keyloft
