// Conversions of the attribute texts of config.xml and the layout files. A missing
// attribute reads as empty text and so as 0; nothing here fails.
#pragma once

#include <string_view>

namespace keyloft {

struct KeyRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const KeyRect&) const = default;
};

// Leading white space, an optional sign and the leading decimal digits (0 when
// there are none); clamped to the int range.
int ParseDecimal(std::wstring_view text);
// The same with hexadecimal digits and an optional 0x prefix.
int ParseHex(std::wstring_view text);
// "1" or not: the text reads as the number 1.
inline bool IsOne(std::wstring_view text) { return ParseDecimal(text) == 1; }

// row_col: the row is the first character; the column the last character when the
// text is 3 characters long, else the last two ("2,15" -> 2, 15; "2,5" -> 2, 5).
void ParseRowCol(std::wstring_view text, int& row, int& column);
// rect: "x,y,w,h" -> (x, y, x + w, y + h); missing numbers read as 0.
KeyRect ParseRect(std::wstring_view text);

}  // namespace keyloft
