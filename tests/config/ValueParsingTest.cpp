// Attribute text conversions of config.xml and the layouts.
#include <gtest/gtest.h>

#include "config/ValueParsing.h"

namespace keyloft {
namespace {

TEST(ValueParsing, DecimalAndHexadecimalTakeTheLeadingNumber) {
    struct Case {
        const wchar_t* text;
        int decimal, hex;
    } cases[] = {
        {L"301", 301, 0x301},   {L"  42abc", 42, 0x42ABC}, {L"-7", -7, -7},     {L"+5", 5, 5},
        {L"", 0, 0},            {L"x1", 0, 0},             {L"1A2B", 1, 0x1A2B}, {L"0x1A2B", 0, 0x1A2B},
        {L"0X4011", 0, 0x4011}, {L"0x", 0, 0},             {L"99999999999", 2147483647, 2147483647},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseDecimal(c.text), c.decimal) << c.text;
        EXPECT_EQ(ParseHex(c.text), c.hex) << c.text;
    }
    EXPECT_TRUE(IsOne(L"1"));
    EXPECT_TRUE(IsOne(L"01"));  // "1" or not is numeric, unlike fnlayer_disable
    EXPECT_FALSE(IsOne(L"2"));
    EXPECT_FALSE(IsOne(L""));
}

TEST(ValueParsing, RowColumnTakesTheFirstAndTheLastOneOrTwoCharacters) {
    struct Case {
        const wchar_t* text;
        int row, column;
    } cases[] = {
        {L"2,15", 2, 15}, {L"2,5", 2, 5}, {L"0,0", 0, 0}, {L"5,21", 5, 21},
        {L"7,31", 7, 31}, {L"", 0, 0},    {L"x,y", 0, 0},
        {L"12,3", 1, 0},  // one-character row; the last two characters ",3" start with no digit
    };
    for (const Case& c : cases) {
        int row = -1, column = -1;
        ParseRowCol(c.text, row, column);
        EXPECT_EQ(row, c.row) << c.text;
        EXPECT_EQ(column, c.column) << c.text;
    }
}

TEST(ValueParsing, RectIsPositionPlusSize) {
    EXPECT_EQ(ParseRect(L"10,20,30,40"), (KeyRect{10, 20, 40, 60}));
    EXPECT_EQ(ParseRect(L" 1, 2, 3, 4"), (KeyRect{1, 2, 4, 6}));
    EXPECT_EQ(ParseRect(L"5,6"), (KeyRect{5, 6, 5, 6}));
    EXPECT_EQ(ParseRect(L""), (KeyRect{0, 0, 0, 0}));
    EXPECT_EQ(ParseRect(L"2147483647,0,10,0").right, 2147483647);  // no overflow
}

}  // namespace
}  // namespace keyloft
