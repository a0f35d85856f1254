#include "config/ValueParsing.h"

#include <climits>

namespace keyloft {

namespace {

int DigitValue(wchar_t c, int base) {
    int v;
    if (c >= L'0' && c <= L'9') v = c - L'0';
    else if (c >= L'a' && c <= L'f') v = c - L'a' + 10;
    else if (c >= L'A' && c <= L'F') v = c - L'A' + 10;
    else return -1;
    return v < base ? v : -1;
}

int ParseNumber(std::wstring_view text, int base) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t' || text[i] == L'\r' || text[i] == L'\n')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    if (base == 16 && i + 1 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X') &&
        i + 2 < text.size() && DigitValue(text[i + 2], 16) >= 0)
        i += 2;
    long long v = 0;
    const long long limit = static_cast<long long>(INT_MAX) + 1;
    for (int d; i < text.size() && (d = DigitValue(text[i], base)) >= 0; ++i) {
        v = v * base + d;
        if (v > limit) v = limit;
    }
    if (negative) v = -v;
    if (v > INT_MAX) v = INT_MAX;
    return static_cast<int>(v);
}

}  // namespace

int ParseDecimal(std::wstring_view text) { return ParseNumber(text, 10); }
int ParseHex(std::wstring_view text) { return ParseNumber(text, 16); }

void ParseRowCol(std::wstring_view text, int& row, int& column) {
    row = ParseDecimal(text.substr(0, 1));
    std::size_t take = text.size() == 3 ? 1 : 2;
    column = ParseDecimal(text.size() > take ? text.substr(text.size() - take) : text);
}

KeyRect ParseRect(std::wstring_view text) {
    int values[4] = {0, 0, 0, 0};
    for (int k = 0; k < 4; ++k) {
        values[k] = ParseDecimal(text);
        std::size_t comma = text.find(L',');
        if (comma == std::wstring_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    KeyRect r;
    r.left = values[0];
    r.top = values[1];
    // Sums in 64 bits: a hostile layout must not overflow an int.
    long long right = static_cast<long long>(values[0]) + values[2];
    long long bottom = static_cast<long long>(values[1]) + values[3];
    r.right = static_cast<int>(right > INT_MAX ? INT_MAX : right < INT_MIN ? INT_MIN : right);
    r.bottom = static_cast<int>(bottom > INT_MAX ? INT_MAX : bottom < INT_MIN ? INT_MIN : bottom);
    return r;
}

}  // namespace keyloft
