#include "device/HidInterfaceName.h"

#include <cstdio>

namespace keyloft {

std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::string HidInterfaceName(std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber,
                             std::string_view pathOrNode) {
    char ids[40];
    if (interfaceNumber >= 0 && interfaceNumber <= 0xFF) {
        std::snprintf(ids, sizeof ids, "VID_%04X&PID_%04X&MI_%02X", vendorId, productId,
                      interfaceNumber);
    } else {
        std::snprintf(ids, sizeof ids, "VID_%04X&PID_%04X", vendorId, productId);
    }
    // The instance part must not contain the separators of the name itself.
    std::string_view instance = pathOrNode;
    if (std::size_t slash = instance.find_last_of('/'); slash != std::string_view::npos) {
        instance.remove_prefix(slash + 1);
    }
    std::string inst = AsciiUpper(instance);
    for (char& c : inst) {
        if (c == '#' || c == '\\') c = '_';
    }
    std::string name = "\\\\?\\HID#";
    name += ids;
    name += '#';
    name += inst;
    name += '#';
    name += kHidInterfaceClass;
    return name;
}

}  // namespace keyloft
