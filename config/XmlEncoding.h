// Character-set names and conversions for XmlDocument's reading and writing.
//
// Declared encoding names are matched case-insensitively against a table of the
// registered names and common aliases of the usual code pages; a name that is not
// in the table is offered to the system's iconv as it stands, and a name neither
// knows falls back to the stand-in for the system's ANSI code page (Windows-1252).
// Conversions never fail: a byte sequence or character that the target cannot hold
// becomes U+FFFD (reading) or '?' (writing) and `loss` is set.
// Free functions without state; any thread.
#pragma once

#include <string>
#include <string_view>

namespace keyloft::xmlenc {

// The iconv name for a declared encoding name ("utf8" -> "UTF-8", "gbk" -> "CP936"),
// or empty when neither the table nor iconv knows it.
std::string ResolveEncoding(std::string_view declared);
// The stand-in for the system's ANSI code page.
const char* AnsiEncoding();
// True for encodings whose code units are wider than a byte (UTF-16, UTF-32).
bool IsWideUnitEncoding(const std::string& iconvName);

std::wstring DecodeBytes(std::string_view bytes, const std::string& iconvName, bool& loss);
std::string EncodeText(std::wstring_view text, const std::string& iconvName, bool& loss);

// True when every byte of 0x80 or more starts a sequence of 2 to 4 bytes whose lead
// byte is not 11111xxx and whose following bytes are 10xxxxxx.
bool LooksLikeUtf8(std::string_view bytes);

// Decodes UTF-8 into `out` (replacing it); a malformed sequence becomes U+FFFD.
// Returns whether the bytes were valid by the rule of LooksLikeUtf8.
bool DecodeUtf8(std::string_view bytes, std::wstring& out);

}  // namespace keyloft::xmlenc
