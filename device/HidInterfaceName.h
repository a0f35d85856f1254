// Windows-style interface names for HID interfaces.
//
// The configuration names a keyboard's interfaces by patterns such as
// "VID_35C1&PID_4011", and the auxiliary interface is recognised by "&MI_03".
// Those patterns keep their meaning on Linux because every interface gets a name
// of the same shape, upper case:
//   \\?\HID#VID_35C1&PID_4011&MI_02#<INSTANCE>#{4D1E55B2-F16F-11CF-88CB-001111000030}
// built from the vendor id, product id and interface number the HID library (or
// udev, for hot-plug) reports; <INSTANCE> is the upper-cased last part of the
// device node or path ("HIDRAW3"). Buses without interface numbers (Bluetooth)
// get no "&MI_" part. Pure functions; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace keyloft {

// The HID device-interface class, as it appears at the end of every name.
inline constexpr std::string_view kHidInterfaceClass = "{4D1E55B2-F16F-11CF-88CB-001111000030}";

std::string HidInterfaceName(std::uint16_t vendorId, std::uint16_t productId,
                             int interfaceNumber, std::string_view pathOrNode);

// ASCII upper-case copy (paths and names are compared this way).
std::string AsciiUpper(std::string_view text);

}  // namespace keyloft
