#include "config/XmlEncoding.h"
#include "base/AsciiText.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "base/WideString.h"

namespace keyloft::xmlenc {

namespace {

struct Alias {
    const char* name;
    const char* iconvName;
};

// Registered names and the aliases that documents in the wild declare. Names that
// are missing here still reach iconv's own lookup.
constexpr Alias kAliases[] = {
    {"utf-8", "UTF-8"}, {"utf8", "UTF-8"}, {"cp65001", "UTF-8"},
    {"unicode-1-1-utf-8", "UTF-8"}, {"unicode-2-0-utf-8", "UTF-8"}, {"x-unicode20utf8", "UTF-8"},
    {"utf-16", "UTF-16LE"}, {"utf16", "UTF-16LE"}, {"unicode", "UTF-16LE"}, {"utf-16le", "UTF-16LE"},
    {"ucs-2", "UTF-16LE"}, {"iso-10646-ucs-2", "UTF-16LE"}, {"cp1200", "UTF-16LE"},
    {"utf-16be", "UTF-16BE"}, {"unicodefffe", "UTF-16BE"}, {"cp1201", "UTF-16BE"},
    {"utf-32", "UTF-32LE"}, {"utf-32le", "UTF-32LE"}, {"cp12000", "UTF-32LE"},
    {"utf-32be", "UTF-32BE"}, {"cp12001", "UTF-32BE"},
    {"windows-1250", "CP1250"}, {"cp1250", "CP1250"}, {"x-cp1250", "CP1250"},
    {"windows-1251", "CP1251"}, {"cp1251", "CP1251"}, {"x-cp1251", "CP1251"},
    {"windows-1252", "CP1252"}, {"cp1252", "CP1252"}, {"x-ansi", "CP1252"},
    {"windows-1253", "CP1253"}, {"cp1253", "CP1253"},
    {"windows-1254", "CP1254"}, {"cp1254", "CP1254"},
    {"windows-1255", "CP1255"}, {"cp1255", "CP1255"},
    {"windows-1256", "CP1256"}, {"cp1256", "CP1256"},
    {"windows-1257", "CP1257"}, {"cp1257", "CP1257"},
    {"windows-1258", "CP1258"}, {"cp1258", "CP1258"},
    {"windows-874", "CP874"}, {"cp874", "CP874"}, {"tis-620", "TIS-620"},
    {"iso-8859-1", "ISO-8859-1"}, {"iso8859-1", "ISO-8859-1"}, {"iso_8859-1", "ISO-8859-1"},
    {"latin1", "ISO-8859-1"}, {"l1", "ISO-8859-1"}, {"cp819", "ISO-8859-1"},
    {"ibm819", "ISO-8859-1"}, {"iso-ir-100", "ISO-8859-1"}, {"cp28591", "ISO-8859-1"},
    {"iso-8859-2", "ISO-8859-2"}, {"latin2", "ISO-8859-2"}, {"iso-8859-3", "ISO-8859-3"},
    {"iso-8859-4", "ISO-8859-4"}, {"iso-8859-5", "ISO-8859-5"}, {"iso-8859-6", "ISO-8859-6"},
    {"iso-8859-7", "ISO-8859-7"}, {"iso-8859-8", "ISO-8859-8"}, {"iso-8859-9", "ISO-8859-9"},
    {"latin5", "ISO-8859-9"}, {"iso-8859-13", "ISO-8859-13"}, {"iso-8859-15", "ISO-8859-15"},
    {"latin-9", "ISO-8859-15"}, {"latin9", "ISO-8859-15"},
    {"us-ascii", "ASCII"}, {"ascii", "ASCII"}, {"ansi_x3.4-1968", "ASCII"},
    {"iso646-us", "ASCII"}, {"cp20127", "ASCII"},
    {"shift_jis", "CP932"}, {"shift-jis", "CP932"}, {"sjis", "CP932"}, {"x-sjis", "CP932"},
    {"ms_kanji", "CP932"}, {"csshiftjis", "CP932"}, {"cp932", "CP932"},
    {"gb2312", "CP936"}, {"gbk", "CP936"}, {"cp936", "CP936"}, {"x-gbk", "CP936"},
    {"csgb2312", "CP936"}, {"chinese", "CP936"}, {"gb_2312-80", "CP936"},
    {"gb18030", "GB18030"}, {"cp54936", "GB18030"},
    {"ks_c_5601-1987", "CP949"}, {"ks_c_5601-1989", "CP949"}, {"ks_c_5601", "CP949"},
    {"korean", "CP949"}, {"ksc5601", "CP949"}, {"csksc56011987", "CP949"}, {"cp949", "CP949"},
    {"big5", "CP950"}, {"cp950", "CP950"}, {"csbig5", "CP950"}, {"x-x-big5", "CP950"},
    {"big5-hkscs", "BIG5-HKSCS"},
    {"euc-kr", "EUC-KR"}, {"cseuckr", "EUC-KR"}, {"cp51949", "EUC-KR"},
    {"euc-jp", "EUC-JP"}, {"x-euc-jp", "EUC-JP"}, {"cseucpkdfmtjapanese", "EUC-JP"},
    {"cp20932", "EUC-JP"}, {"iso-2022-jp", "ISO-2022-JP"}, {"csiso2022jp", "ISO-2022-JP"},
    {"koi8-r", "KOI8-R"}, {"cskoi8r", "KOI8-R"}, {"koi", "KOI8-R"}, {"koi8", "KOI8-R"},
    {"cp20866", "KOI8-R"}, {"koi8-u", "KOI8-U"}, {"cp21866", "KOI8-U"},
    {"ibm437", "CP437"}, {"cp437", "CP437"}, {"ibm850", "CP850"}, {"cp850", "CP850"},
    {"ibm866", "CP866"}, {"cp866", "CP866"}, {"macintosh", "MACINTOSH"}, {"x-mac-roman", "MACINTOSH"},
};

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return EqualsIgnoringAsciiCase(a, b);
}

bool IconvKnows(const std::string& name) {
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(cd);
    return true;
}

// Converts with iconv, replacing what cannot be converted: an input sequence that
// is invalid in `from` is skipped one byte at a time (or one unit for wide input)
// and `replacement` is written in its place.
std::string Convert(std::string_view in, const char* to, const char* from, std::string_view replacement,
                    std::size_t skipUnit, bool& loss) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        loss = true;
        return out;
    }
    out.reserve(in.size() + in.size() / 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[4096];
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, dst - buffer);
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ: a sequence `from` does not allow, or a character `to` cannot
            // hold; EINVAL: an incomplete sequence at the end.
            loss = true;
            out.append(replacement);
            std::size_t skip = skipUnit < srcLeft ? skipUnit : srcLeft;
            src += skip;
            srcLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, dst - buffer);
    iconv_close(cd);
    return out;
}

}  // namespace

std::string ResolveEncoding(std::string_view declared) {
    while (!declared.empty() && (declared.front() == ' ' || declared.front() == '\t')) declared.remove_prefix(1);
    while (!declared.empty() && (declared.back() == ' ' || declared.back() == '\t')) declared.remove_suffix(1);
    if (declared.empty()) return {};
    for (const Alias& alias : kAliases) {
        if (EqualsIgnoreCase(alias.name, declared)) return alias.iconvName;
    }
    // The name goes to iconv only when it is plain: iconv treats suffixes such as
    // "//TRANSLIT" as options, which no declaration should be able to switch on.
    for (char c : declared) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_' || c == '.' || c == ':';
        if (!plain) return {};
    }
    std::string name(declared);
    if (IconvKnows(name)) return name;
    return {};
}

const char* AnsiEncoding() { return "CP1252"; }

bool IsWideUnitEncoding(const std::string& iconvName) {
    return iconvName.rfind("UTF-16", 0) == 0 || iconvName.rfind("UTF-32", 0) == 0 ||
           iconvName.rfind("UCS-2", 0) == 0 || iconvName.rfind("UCS-4", 0) == 0;
}

std::wstring DecodeBytes(std::string_view bytes, const std::string& iconvName, bool& loss) {
    if (iconvName == "UTF-8") {
        std::wstring out;
        if (!DecodeUtf8(bytes, out)) loss = true;
        return out;
    }
    std::size_t unit = IsWideUnitEncoding(iconvName) ? (iconvName.rfind("UTF-32", 0) == 0 ? 4 : 2) : 1;
    std::string utf8 = Convert(bytes, "UTF-8", iconvName.c_str(), "\xEF\xBF\xBD", unit, loss);
    return Utf8ToWide(utf8);
}

std::string EncodeText(std::wstring_view text, const std::string& iconvName, bool& loss) {
    std::string utf8 = WideToUtf8(text);
    if (iconvName == "UTF-8") return utf8;
    // Skipping one byte of the UTF-8 input keeps going after an unconvertible
    // character; its continuation bytes are then skipped the same way, so one
    // character can turn into more than one '?'. Writing in such an encoding is
    // lossy anyway, and the loss is reported.
    std::string out = Convert(utf8, iconvName.c_str(), "UTF-8", "?", 1, loss);
    return out;
}

bool LooksLikeUtf8(std::string_view bytes) {
    std::size_t i = 0, n = bytes.size();
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t follow;
        if ((c & 0xE0) == 0xC0) follow = 1;
        else if ((c & 0xF0) == 0xE0) follow = 2;
        else if ((c & 0xF8) == 0xF0) follow = 3;
        else return false;  // 10xxxxxx or 11111xxx as a lead byte
        for (std::size_t k = 1; k <= follow; ++k) {
            if (i + k >= n) return false;
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        }
        i += follow + 1;
    }
    return true;
}

bool DecodeUtf8(std::string_view bytes, std::wstring& out) {
    out.resize(bytes.size());
    wchar_t* dst = out.data();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = p + bytes.size();
    bool valid = true;
    while (p < end) {
        unsigned char c = *p;
        if (c < 0x80) {
            *dst++ = c;
            ++p;
            continue;
        }
        std::size_t follow;
        char32_t cp;
        if ((c & 0xE0) == 0xC0) follow = 1, cp = c & 0x1F;
        else if ((c & 0xF0) == 0xE0) follow = 2, cp = c & 0x0F;
        else if ((c & 0xF8) == 0xF0) follow = 3, cp = c & 0x07;
        else {
            valid = false;
            *dst++ = 0xFFFD;
            ++p;
            continue;
        }
        std::size_t k = 1;
        for (; k <= follow && p + k < end && (p[k] & 0xC0) == 0x80; ++k) cp = (cp << 6) | (p[k] & 0x3F);
        if (k <= follow) {
            // Cut short: one replacement for the lead and what followed it.
            valid = false;
            *dst++ = 0xFFFD;
            p += k;
            continue;
        }
        p += follow + 1;
        // Overlong forms, surrogates and values beyond Unicode are no characters.
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[follow] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
        *dst++ = static_cast<wchar_t>(cp);
    }
    out.resize(dst - out.data());
    return valid;
}

}  // namespace keyloft::xmlenc
