#include "MObject.h"

#include <cwchar>

namespace TesselUI {

bool MObject::IsClass(const wchar_t* name) {
    const wchar_t* mine = GetClassNameW();
    if (!mine || !name) return false;
    return std::wcscmp(mine, name) == 0;
}

void M_Trace(const wchar_t*, ...) {}

}  // namespace TesselUI
