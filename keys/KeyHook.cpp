#include "keys/KeyHook.h"

namespace keyloft {

KeyHook::KeyHook(std::unique_ptr<KeyEventSource> source) : source_(std::move(source)) {}

KeyHook::~KeyHook() {
    if (installed_ && source_) source_->Stop();
}

bool KeyHook::Register(int id, Handler handler) {
    for (const auto& r : registrations_)
        if (r.id == id) return true;
    registrations_.push_back({id, true, std::move(handler)});
    if (!installed_ && source_) {
        installed_ = source_->Start([this](const KeyHookEvent& e) { return Deliver(e); });
        return installed_;
    }
    return true;
}

void KeyHook::SetActive(int id, bool active) {
    for (auto& r : registrations_)
        if (r.id == id) r.active = active;
}

void KeyHook::Unregister(int id) {
    std::erase_if(registrations_, [id](const Registration& r) { return r.id == id; });
}

bool KeyHook::Deliver(const KeyHookEvent& e) {
    // A handler may unregister itself while it runs; walk a copy of the ids.
    std::vector<int> ids;
    for (const auto& r : registrations_)
        if (r.active) ids.push_back(r.id);
    for (int id : ids) {
        for (auto& r : registrations_) {
            if (r.id != id || !r.active) continue;
            Handler h = r.handler;
            if (h && h(e)) return true;
            break;
        }
    }
    return false;
}

}  // namespace keyloft
