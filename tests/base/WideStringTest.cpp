#include "base/WideString.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

TEST(WideString, RoundTripsEveryPlane) {
    const std::wstring text = L"Key \u00e9 \u4e2d\u6587 \U0001F600";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    EXPECT_EQ(WideToUtf8(L"\u4e2d"), "\xe4\xb8\xad");
}

TEST(WideString, MalformedInputBecomesReplacementCharacters) {
    struct Case { std::string in; std::wstring out; };
    const Case cases[] = {
        {"a\xff" "b", L"a\uFFFDb"},          // invalid lead byte
        {"\xe4\xb8", L"\uFFFD"},             // truncated sequence
        {"\xc0\xaf", L"\uFFFD"},             // overlong form
        {"\xed\xa0\x80", L"\uFFFD"},         // encoded surrogate
        {"\xe4" "x", L"\uFFFDx"},            // continuation missing
    };
    for (const Case& c : cases) EXPECT_EQ(Utf8ToWide(c.in), c.out) << c.in;
    EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xef\xbf\xbd");
}

}  // namespace
}  // namespace keyloft
