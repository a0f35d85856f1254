// Reading the version texts of the update server: comparing program versions,
// the release-number rule of the firmware checks, and deciding whether a reply
// can be used at all.
//
// Pure functions, any thread; bad input gives a defined result, never a throw.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace keyloft {

// Compares dotted versions. 2 when the texts have different numbers of parts
// ("1.0" against "1.0.0"); else, at the first part that differs as a decimal
// number (its leading digits, 0 when it has none): 1 when `current` is smaller,
// -1 when it is larger; 0 when every part is equal. 1 or more means a newer
// version is available. Parts of any length compare correctly (no overflow).
int CompareVersions(std::wstring_view current, std::wstring_view latest);

// The leading decimal digits of `text` as a number (0 when it starts with no
// digit). Saturates at INT64_MAX.
std::int64_t LeadingDecimal(std::wstring_view text);

// A firmware release number is written as lower-case hexadecimal digits and
// those digits read back as a decimal number: release 0x0106 counts as 106.
// Digits after the first letter are not read (0x01a6 counts as 1). Negative
// releases (no device) give -1.
std::int64_t ReleaseAsDecimal(int release);

// The server's reply as a version, or empty when it cannot be one. A leading
// byte-order mark and surrounding white space (a trailing newline of a text
// file) are dropped; what is left must have 1 to 10 characters, all letters,
// digits or one of ". - _ +". The version becomes part of a file name and an
// address, so a reply such as "../../x" or an error page is refused here.
std::wstring UsableVersionText(std::wstring_view reply);

inline constexpr std::size_t kMaxVersionTextLength = 10;

}  // namespace keyloft
