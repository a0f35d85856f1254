// Text layout settings of the GDI+-style Graphics: alignment in the layout rectangle
// and the format flags, with the GDI+ numbers so stored values keep their meaning.
#pragma once

namespace platform::draw {

enum class StringAlignment { Near = 0, Center = 1, Far = 2 };

enum StringFormatFlags : unsigned {
    kStringFormatNoFitBlackBox = 0x0004,
    kStringFormatMeasureTrailingSpaces = 0x0800,
    kStringFormatNoWrap = 0x1000,
    kStringFormatLineLimit = 0x2000,
    kStringFormatNoClip = 0x4000,
};

enum class StringTrimming { None = 0, Character = 1, Word = 2, EllipsisCharacter = 3 };

struct StringFormat {
    StringAlignment alignment = StringAlignment::Near;      // horizontal
    StringAlignment lineAlignment = StringAlignment::Near;  // vertical
    unsigned flags = 0;
    StringTrimming trimming = StringTrimming::None;

    StringFormat() = default;
    explicit StringFormat(unsigned f) : flags(f) {}
};

}  // namespace platform::draw
