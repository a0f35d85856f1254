#include "device/HidBackend.h"

#include <atomic>

namespace keyloft {

namespace {
std::atomic<HidBackend*> g_default_backend{nullptr};
}  // namespace

void SetDefaultHidBackend(HidBackend* backend) {
    g_default_backend.store(backend, std::memory_order_release);
}

HidBackend& DefaultHidBackend() {
    HidBackend* backend = g_default_backend.load(std::memory_order_acquire);
    return backend ? *backend : HidapiBackendInstance();
}

}  // namespace keyloft
