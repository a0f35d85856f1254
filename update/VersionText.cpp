#include "update/VersionText.h"

#include <cstdio>
#include <limits>
#include <vector>

namespace keyloft {
namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::vector<std::wstring_view> SplitAtDots(std::wstring_view text) {
    std::vector<std::wstring_view> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t dot = text.find(L'.', start);
        if (dot == std::wstring_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, dot - start));
        start = dot + 1;
    }
}

// The leading digits without their leading zeros: equal numbers give equal
// texts, and a longer text is the larger number.
std::wstring_view SignificantDigits(std::wstring_view part) {
    std::size_t end = 0;
    while (end < part.size() && IsDigit(part[end])) ++end;
    std::size_t begin = 0;
    while (begin < end && part[begin] == L'0') ++begin;
    return part.substr(begin, end - begin);
}

int CompareNumbers(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

bool IsVersionCharacter(wchar_t c) {
    return IsDigit(c) || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'.' ||
           c == L'-' || c == L'_' || c == L'+';
}

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

}  // namespace

int CompareVersions(std::wstring_view current, std::wstring_view latest) {
    std::vector<std::wstring_view> mine = SplitAtDots(current);
    std::vector<std::wstring_view> theirs = SplitAtDots(latest);
    if (mine.size() != theirs.size()) return 2;
    for (std::size_t i = 0; i < mine.size(); ++i) {
        int order = CompareNumbers(SignificantDigits(mine[i]), SignificantDigits(theirs[i]));
        if (order < 0) return 1;
        if (order > 0) return -1;
    }
    return 0;
}

std::int64_t LeadingDecimal(std::wstring_view text) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (wchar_t c : text) {
        if (!IsDigit(c)) break;
        int digit = c - L'0';
        if (value > (kMax - digit) / 10) return kMax;
        value = value * 10 + digit;
    }
    return value;
}

std::int64_t ReleaseAsDecimal(int release) {
    if (release < 0) return -1;
    wchar_t hex[16];
    std::swprintf(hex, sizeof hex / sizeof hex[0], L"%x", static_cast<unsigned>(release));
    return LeadingDecimal(hex);
}

std::wstring UsableVersionText(std::wstring_view reply) {
    std::size_t begin = 0;
    std::size_t end = reply.size();
    // A version file saved by an editor that marks its files as UTF-8.
    if (!reply.empty() && reply.front() == L'\uFEFF') begin = 1;
    while (begin < end && IsSpace(reply[begin])) ++begin;
    while (end > begin && IsSpace(reply[end - 1])) --end;
    std::wstring_view text = reply.substr(begin, end - begin);
    if (text.empty() || text.size() > kMaxVersionTextLength) return {};
    for (wchar_t c : text)
        if (!IsVersionCharacter(c)) return {};
    return std::wstring(text);
}

}  // namespace keyloft
