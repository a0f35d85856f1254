// The seam between the device manager and the HID library.
//
// HidDeviceManager reaches HID interfaces only through this interface. The real
// implementation calls hidapi (hidraw backend); the virtual keyboard in devicesim/
// implements it too, so tests and the demo mode run the manager's own code against
// a keyboard that keeps what it was sent.
//
// Handles are opaque; the backend owns what they point to until Close. A backend
// must allow one thread to write while another reads on the same handle (the UI
// thread sends single packets while the worker waits for a reply). Failures are
// results: -1 from the byte-count calls, nullptr from Open, false from Init.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace keyloft {

// What the manager uses of one enumerated interface. The library's product
// strings are never read: every interface counts as having an empty one.
struct HidInterfaceInfo {
    std::string path;          // the library's own path, used to open the interface
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t release = 0;  // bcdDevice
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    int interfaceNumber = -1;   // USB interface number, -1 when the bus has none
};

struct HidHandle;  // opaque, defined by each backend

class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Readies the library. False means it cannot be used: the manager then finds
    // no interface at all.
    virtual bool Init() = 0;
    // Releases the library (after every handle was closed).
    virtual void Shutdown() = 0;

    // Every present HID interface, in the library's order.
    virtual std::vector<HidInterfaceInfo> Enumerate() = 0;
    // nullptr when the interface cannot be opened (gone, or no permission).
    virtual HidHandle* Open(const std::string& path) = 0;
    virtual void Close(HidHandle* handle) = 0;

    // One output report, report id first. Bytes written, or -1.
    virtual int Write(HidHandle* handle, const std::uint8_t* data, std::size_t length) = 0;
    // One input report of report id 0 without its report id, at most `length`
    // bytes, waiting at most `timeoutMs`. Bytes read, 0 on time-out, -1 on error.
    // A report that arrives after a time-out is kept for the next read.
    virtual int ReadTimeout(HidHandle* handle, std::uint8_t* data, std::size_t length,
                            int timeoutMs) = 0;
    // Feature reports, report id first. Bytes sent or received, or -1.
    virtual int SendFeatureReport(HidHandle* handle, const std::uint8_t* data,
                                  std::size_t length) = 0;
    virtual int GetFeatureReport(HidHandle* handle, std::uint8_t* data, std::size_t length) = 0;
};

// The hidapi backend (process-wide, lives until exit).
HidBackend& HidapiBackendInstance();

// The backend that HidDeviceManager::Instance() starts with. Must be called before
// the manager's first use (the program and keyloft-probe do it first thing in
// main); later calls have no effect on an existing manager (use
// HidDeviceManager::UseBackend to switch). nullptr means hidapi.
void SetDefaultHidBackend(HidBackend* backend);
HidBackend& DefaultHidBackend();

}  // namespace keyloft
