// Named character references for XmlDocument::DecodeReferences.
#pragma once

#include <string_view>

namespace keyloft::xmlent {

// The code point of an entity name of up to 8 letters and digits (without '&' and
// ';'), or 0 when the name is not one of them. An exact match wins; otherwise ASCII
// capitals are folded to lower case and the name is looked up again.
char32_t LookupEntity(std::wstring_view name);

}  // namespace keyloft::xmlent
