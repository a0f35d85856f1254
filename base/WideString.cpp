#include "base/WideString.h"

#include <cstdint>

namespace keyloft {

namespace {
constexpr char32_t kReplacement = 0xFFFD;

bool IsScalar(char32_t c) { return c < 0xD800 || (c > 0xDFFF && c <= 0x10FFFF); }

void AppendUtf8(std::string& out, char32_t c) {
    if (!IsScalar(c)) c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}
}  // namespace

std::wstring Utf8ToWide(std::string_view in) {
    std::wstring out;
    out.reserve(in.size());
    std::size_t i = 0;
    const std::size_t n = in.size();
    while (i < n) {
        const auto b0 = static_cast<std::uint8_t>(in[i]);
        int length = 0;
        char32_t c = 0;
        char32_t minimum = 0;
        if (b0 < 0x80) {
            out += static_cast<wchar_t>(b0);
            ++i;
            continue;
        } else if ((b0 & 0xE0) == 0xC0) {
            length = 2; c = b0 & 0x1F; minimum = 0x80;
        } else if ((b0 & 0xF0) == 0xE0) {
            length = 3; c = b0 & 0x0F; minimum = 0x800;
        } else if ((b0 & 0xF8) == 0xF0) {
            length = 4; c = b0 & 0x07; minimum = 0x10000;
        } else {
            out += static_cast<wchar_t>(kReplacement);
            ++i;
            continue;
        }
        int taken = 1;
        bool ok = true;
        for (; taken < length; ++taken) {
            if (i + taken >= n) { ok = false; break; }
            const auto b = static_cast<std::uint8_t>(in[i + taken]);
            if ((b & 0xC0) != 0x80) { ok = false; break; }
            c = (c << 6) | (b & 0x3F);
        }
        if (!ok || c < minimum || !IsScalar(c)) {
            out += static_cast<wchar_t>(kReplacement);
            i += ok ? length : taken;
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += length;
    }
    return out;
}

std::string WideToUtf8(std::wstring_view in) {
    std::string out;
    out.reserve(in.size());
    for (wchar_t w : in) AppendUtf8(out, static_cast<char32_t>(w));
    return out;
}

}  // namespace keyloft
