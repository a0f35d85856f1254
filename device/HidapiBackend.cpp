// The real HID library behind the seam: hidapi with its hidraw backend.
//
// hidraw delivers input reports of devices without numbered reports as bare
// payload, so a read of the keyboard's report id 0 already yields the 64 payload
// bytes the manager wants; writes and feature reports take the report id first,
// as hidapi expects.
#include <hidapi/hidapi.h>

#include "device/HidBackend.h"

namespace keyloft {

namespace {

hid_device* Device(HidHandle* handle) { return reinterpret_cast<hid_device*>(handle); }

class HidapiBackend final : public HidBackend {
public:
    bool Init() override { return hid_init() == 0; }
    void Shutdown() override { hid_exit(); }

    std::vector<HidInterfaceInfo> Enumerate() override {
        std::vector<HidInterfaceInfo> result;
        hid_device_info* list = hid_enumerate(0, 0);
        for (hid_device_info* d = list; d; d = d->next) {
            HidInterfaceInfo info;
            info.path = d->path ? d->path : "";
            info.vendorId = d->vendor_id;
            info.productId = d->product_id;
            info.release = d->release_number;
            info.usagePage = d->usage_page;
            info.usage = d->usage;
            info.interfaceNumber = d->interface_number;
            result.push_back(std::move(info));
        }
        hid_free_enumeration(list);
        return result;
    }

    HidHandle* Open(const std::string& path) override {
        return reinterpret_cast<HidHandle*>(hid_open_path(path.c_str()));
    }
    void Close(HidHandle* handle) override {
        if (handle) hid_close(Device(handle));
    }
    int Write(HidHandle* handle, const std::uint8_t* data, std::size_t length) override {
        return hid_write(Device(handle), data, length);
    }
    int ReadTimeout(HidHandle* handle, std::uint8_t* data, std::size_t length,
                    int timeoutMs) override {
        return hid_read_timeout(Device(handle), data, length, timeoutMs);
    }
    int SendFeatureReport(HidHandle* handle, const std::uint8_t* data,
                          std::size_t length) override {
        return hid_send_feature_report(Device(handle), data, length);
    }
    int GetFeatureReport(HidHandle* handle, std::uint8_t* data, std::size_t length) override {
        return hid_get_feature_report(Device(handle), data, length);
    }
};

}  // namespace

HidBackend& HidapiBackendInstance() {
    static HidapiBackend backend;
    return backend;
}

}  // namespace keyloft
