// Conversions between the program's wide strings (std::wstring in memory) and
// UTF-8 (files, the database, the file system). Invalid input never fails: a
// malformed UTF-8 sequence becomes U+FFFD, and a wide character that is not a
// Unicode scalar value is written as U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace keyloft {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace keyloft
