#include "devicesim/VirtualKeyboard.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "base/Clock.h"

namespace keyloft::devicesim {

namespace {

constexpr std::uint16_t kOtherVendorId = 0x0F0F;  // an unrelated mouse, always present
constexpr std::uint16_t kOtherProductId = 0x0001;

struct InterfaceShape {
    int number;
    std::uint16_t usagePage;
    std::uint16_t usage;
};
// What every link of the keyboard shows: two standard collections the manager must
// filter out, the command interface and the auxiliary one.
constexpr InterfaceShape kShapes[] = {
    {0, 0x0001, 0x06},  // boot keyboard
    {1, 0x000C, 0x01},  // consumer control
    {2, 0xFF02, 0x02},  // commands
    {3, 0xFF01, 0x01},  // auxiliary
};
constexpr int kCommandInterface = 2;

bool IsFamily3Header(const std::uint8_t* p) { return p[0] == 0xAA && p[1] == 0x55 && p[2] == 0xCC; }

void ClearContent(KeyboardState& s) {
    // What a restore wipes; the counters of what was received stay.
    s.keyAssignments.clear();
    s.keyFunctionBlocks.clear();
    s.lighting = {};
    s.lightBox = {};
    s.perKeyColours.fill(0);
    s.perKeyChunks = 0;
    s.sleepTime = 0;
    s.keyResponseTime = 0;
    s.fnSwitch = -1;
}

// A family 2 restore empties the slots; what was received stays countable.
void RestoreFamily2(Family2State& f) {
    f.slotTable.fill(0);
    f.longSlots.clear();
    f.simpleSlots.clear();
    ++f.restores;
}

}  // namespace

struct VirtualKeyboard::Interface {
    HidInterfaceInfo info;
    int mode = -1;  // -1 for the unrelated device
    int link = 0;
    bool present = true;
    bool openable = true;
    std::deque<Pending> input;
};

struct VirtualKeyboard::Handle {
    Interface* itf;
    bool open = true;
};

// ---- setups ---------------------------------------------------------------

KeyboardSetup KeyboardSetup::Cable() {
    KeyboardSetup s;
    s.links = {LinkSetup{0, kK1CablePid, 0x0105, kLinkCable, true}};
    return s;
}

KeyboardSetup KeyboardSetup::Receiver() {
    KeyboardSetup s;
    s.links = {LinkSetup{2, kK1ReceiverPid, 0x0203, kLinkReceiver, true}};
    return s;
}

KeyboardSetup KeyboardSetup::ReceiverUnlinked() {
    KeyboardSetup s = Receiver();
    s.links[0].link = kLinkNone;
    return s;
}

KeyboardSetup KeyboardSetup::CableAndReceiver() {
    KeyboardSetup s = Cable();
    s.links.push_back(Receiver().links[0]);
    return s;
}

KeyboardSetup KeyboardSetup::Family1() {
    KeyboardSetup s;
    s.family = 1;
    s.links = {LinkSetup{0, kK0CablePid, 0x0101, kLinkCable, true}};
    return s;
}

KeyboardSetup KeyboardSetup::Family2() {
    KeyboardSetup s;
    s.family = 2;
    s.links = {LinkSetup{0, kK2CablePid, 0x0102, kLinkCable, true}};
    return s;
}

KeyboardSetup KeyboardSetup::Nothing() { return KeyboardSetup{}; }

std::optional<KeyboardSetup> KeyboardSetup::FromName(const std::string& name) {
    if (name == "cable") return Cable();
    if (name == "receiver") return Receiver();
    if (name == "receiver-unlinked") return ReceiverUnlinked();
    return std::nullopt;
}

const char* ReportKindName(ReportKind kind) {
    switch (kind) {
        case ReportKind::Out: return "out";
        case ReportKind::FeatureSet: return "fset";
        case ReportKind::FeatureGet: return "fget";
    }
    return "?";
}

std::string HexBytes(std::span<const std::uint8_t> bytes, bool trimZeros) {
    std::size_t n = bytes.size();
    if (trimZeros) {
        while (n > 0 && bytes[n - 1] == 0) --n;
    }
    std::string out;
    char buf[4];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02x" : "%02x", bytes[i]);
        out += buf;
    }
    return out;
}

// ---- construction -----------------------------------------------------------

VirtualKeyboard::VirtualKeyboard(KeyboardSetup setup) : setup_(std::move(setup)) {
    startMs_ = NowMs();
    BuildInterfaces();
}

VirtualKeyboard::~VirtualKeyboard() = default;

void VirtualKeyboard::BuildInterfaces() {
    auto other = std::make_unique<Interface>();
    other->info = {"/virtual/hidraw0", kOtherVendorId, kOtherProductId, 0x0100, 0x0001, 0x0002, 0};
    interfaces_.push_back(std::move(other));
    for (const LinkSetup& link : setup_.links) Plug(link);
}

void VirtualKeyboard::Plug(LinkSetup link) {
    std::lock_guard lock(mutex_);
    for (auto& itf : interfaces_) {
        // A re-plug of the same device gets fresh nodes, as the kernel gives it.
        if (itf->info.vendorId == kVendorId && itf->info.productId == link.productId) itf->present = false;
    }
    for (const InterfaceShape& shape : kShapes) {
        auto itf = std::make_unique<Interface>();
        itf->info.path = "/virtual/hidraw" + std::to_string(interfaces_.size());
        itf->info.vendorId = kVendorId;
        itf->info.productId = link.productId;
        itf->info.release = link.release;
        itf->info.usagePage = shape.usagePage;
        itf->info.usage = shape.usage;
        itf->info.interfaceNumber = shape.number;
        itf->mode = link.mode;
        itf->link = link.link;
        itf->openable = link.openable;
        interfaces_.push_back(std::move(itf));
    }
}

void VirtualKeyboard::Unplug(int mode) {
    std::lock_guard lock(mutex_);
    for (auto& itf : interfaces_) {
        if (itf->mode == mode) itf->present = false;
    }
}

// ---- faults and read-back ---------------------------------------------------

void VirtualKeyboard::SetSilent(bool silent) {
    std::lock_guard lock(mutex_);
    setup_.answersStatus = !silent;
}

void VirtualKeyboard::SetReplyDelay(int ms) {
    std::lock_guard lock(mutex_);
    setup_.replyDelayMs = ms;
}

void VirtualKeyboard::SetWriteFault(WriteFault fault) {
    std::lock_guard lock(mutex_);
    writeFault_ = fault;
    writesSinceFault_ = 0;
}

void VirtualKeyboard::ClearWriteFault() {
    std::lock_guard lock(mutex_);
    writeFault_.reset();
}

void VirtualKeyboard::SetLink(int mode, int linkByte) {
    std::lock_guard lock(mutex_);
    for (auto& itf : interfaces_) {
        if (itf->mode == mode) itf->link = linkByte;
    }
}

void VirtualKeyboard::SetBattery(int level) {
    std::lock_guard lock(mutex_);
    setup_.battery = level;
}

void VirtualKeyboard::SetOpenable(int mode, bool openable) {
    std::lock_guard lock(mutex_);
    for (auto& itf : interfaces_) {
        if (itf->mode == mode) itf->openable = openable;
    }
}

void VirtualKeyboard::PushStatusReport(int mode) {
    std::lock_guard lock(mutex_);
    if (Interface* itf = FindLinkInterfaceLocked(mode)) {
        itf->input.push_back({NowMs(), StatusReplyLocked(*itf)});
    }
}

std::vector<ReceivedReport> VirtualKeyboard::Reports() {
    std::lock_guard lock(mutex_);
    return reports_;
}

void VirtualKeyboard::ClearReports() {
    std::lock_guard lock(mutex_);
    reports_.clear();
}

KeyboardState VirtualKeyboard::State() {
    std::lock_guard lock(mutex_);
    return state_;
}

int VirtualKeyboard::StaleHandleUses() {
    std::lock_guard lock(mutex_);
    return staleHandleUses_;
}

void VirtualKeyboard::SetRecording(bool on) {
    std::lock_guard lock(mutex_);
    recording_ = on;
}

int VirtualKeyboard::OpenHandleCount() {
    std::lock_guard lock(mutex_);
    return static_cast<int>(handles_.size());
}

std::vector<ReceivedReport> VirtualKeyboard::ReportsAfter(std::size_t first) {
    std::lock_guard lock(mutex_);
    if (first >= reports_.size()) return {};
    return std::vector<ReceivedReport>(reports_.begin() + static_cast<std::ptrdiff_t>(first), reports_.end());
}

bool VirtualKeyboard::OpenLog(const std::string& path) {
    std::lock_guard lock(mutex_);
    log_.reset(std::fopen(path.c_str(), "a"));
    return log_ != nullptr;
}

VirtualKeyboard::Interface* VirtualKeyboard::FindLinkInterfaceLocked(int mode) {
    for (auto& itf : interfaces_) {
        if (itf->present && itf->mode == mode && itf->info.interfaceNumber == kCommandInterface) {
            return itf.get();
        }
    }
    return nullptr;
}

bool VirtualKeyboard::AcceptWriteLocked() {
    if (!writeFault_) return true;
    const int n = writesSinceFault_++;
    if (n < writeFault_->acceptFirst) return true;
    if (writeFault_->refuseCount < 0) return false;
    return n >= writeFault_->acceptFirst + writeFault_->refuseCount;
}

void VirtualKeyboard::RecordLocked(int mode, ReportKind kind, const std::uint8_t* data,
                                   std::size_t length) {
    if (!recording_ && !log_) return;
    ReceivedReport r;
    r.timeMs = NowMs();
    r.mode = mode;
    r.kind = kind;
    r.bytes.assign(data, data + length);
    if (log_) {
        std::fprintf(log_.get(), "%lld %d %s", static_cast<long long>(r.timeMs - startMs_), mode,
                     ReportKindName(kind));
        for (std::uint8_t b : r.bytes) std::fprintf(log_.get(), " %02x", b);
        std::fputc('\n', log_.get());
        std::fflush(log_.get());
    }
    if (recording_) reports_.push_back(std::move(r));
}

void VirtualKeyboard::QueueReplyLocked(Interface& itf, const std::array<std::uint8_t, 64>& reply) {
    if (!setup_.answersStatus) return;
    itf.input.push_back({NowMs() + setup_.replyDelayMs, reply});
}

std::array<std::uint8_t, 64> VirtualKeyboard::StatusReplyLocked(const Interface& itf) const {
    std::array<std::uint8_t, 64> reply{};
    if (setup_.family == 3) {
        reply[0] = 0xAA;
        reply[1] = 0x55;
        reply[2] = 0xCC;
        reply[3] = 0x33;
    }
    // The older families answer without the AA 55 CC 33 header: the status poll
    // ignores them, but their link byte still marks the interface online on open.
    reply[4] = 0x0E;
    reply[5] = static_cast<std::uint8_t>(setup_.battery);
    reply[6] = static_cast<std::uint8_t>(itf.link);
    return reply;
}

void VirtualKeyboard::WaitMs(std::int64_t ms) {
    if (ms <= 0) return;
    if (auto* virtualClock = dynamic_cast<VirtualClock*>(&GetClock())) {
        virtualClock->Advance(ms);  // a read waiting is not a pause of the protocol
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

// ---- the HID library side ---------------------------------------------------

bool VirtualKeyboard::Init() {
    std::lock_guard lock(mutex_);
    initialised_ = setup_.libraryAvailable;
    return initialised_;
}

void VirtualKeyboard::Shutdown() {
    std::lock_guard lock(mutex_);
    initialised_ = false;
}

std::vector<HidInterfaceInfo> VirtualKeyboard::Enumerate() {
    std::lock_guard lock(mutex_);
    std::vector<HidInterfaceInfo> out;
    if (!initialised_) return out;
    for (const auto& itf : interfaces_) {
        if (itf->present) out.push_back(itf->info);
    }
    return out;
}

HidHandle* VirtualKeyboard::Open(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (!initialised_) return nullptr;
    for (auto& itf : interfaces_) {
        if (itf->present && itf->info.path == path) {
            if (!itf->openable) return nullptr;
            handles_.push_back(std::make_unique<Handle>(Handle{itf.get()}));
            return reinterpret_cast<HidHandle*>(handles_.back().get());
        }
    }
    return nullptr;
}

void VirtualKeyboard::Close(HidHandle* handle) {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(handles_.begin(), handles_.end(),
                           [&](const auto& h) { return reinterpret_cast<HidHandle*>(h.get()) == handle; });
    if (it != handles_.end()) {
        handles_.erase(it);
    } else {
        ++staleHandleUses_;  // closed twice, or never opened
    }
}

#define KEYLOFT_SIM_INTERFACE(itf, handle)                                     \
    Handle* h = reinterpret_cast<Handle*>(handle);                             \
    auto found = std::find_if(handles_.begin(), handles_.end(),                \
                              [&](const auto& x) { return x.get() == h; });    \
    if (found == handles_.end()) {                                             \
        ++staleHandleUses_;                                                    \
        return -1;                                                             \
    }                                                                          \
    if (!h->itf->present) return -1;                                           \
    Interface& itf = *h->itf

int VirtualKeyboard::Write(HidHandle* handle, const std::uint8_t* data, std::size_t length) {
    std::lock_guard lock(mutex_);
    KEYLOFT_SIM_INTERFACE(itf, handle);
    if (length == 0 || !AcceptWriteLocked()) return -1;
    RecordLocked(itf.mode, ReportKind::Out, data, length);
    HandleOutputLocked(itf, data, length);
    return static_cast<int>(length);
}

int VirtualKeyboard::ReadTimeout(HidHandle* handle, std::uint8_t* data, std::size_t length,
                                 int timeoutMs) {
    std::int64_t wait = 0;
    {
        std::lock_guard lock(mutex_);
        KEYLOFT_SIM_INTERFACE(itf, handle);
        const std::int64_t now = NowMs();
        if (!itf.input.empty() && itf.input.front().readyAt <= now) {
            const std::size_t n = std::min<std::size_t>(length, 64);
            std::memcpy(data, itf.input.front().bytes.data(), n);
            itf.input.pop_front();
            return static_cast<int>(n);
        }
        wait = timeoutMs;
        if (!itf.input.empty()) wait = std::min<std::int64_t>(wait, itf.input.front().readyAt - now);
    }
    WaitMs(wait);
    std::lock_guard lock(mutex_);
    KEYLOFT_SIM_INTERFACE(itf, handle);
    if (!itf.input.empty() && itf.input.front().readyAt <= NowMs()) {
        const std::size_t n = std::min<std::size_t>(length, 64);
        std::memcpy(data, itf.input.front().bytes.data(), n);
        itf.input.pop_front();
        return static_cast<int>(n);
    }
    return 0;
}

int VirtualKeyboard::SendFeatureReport(HidHandle* handle, const std::uint8_t* data,
                                       std::size_t length) {
    std::lock_guard lock(mutex_);
    KEYLOFT_SIM_INTERFACE(itf, handle);
    if (length == 0 || !AcceptWriteLocked()) return -1;
    RecordLocked(itf.mode, ReportKind::FeatureSet, data, length);
    HandleFeatureLocked(itf, data, length);
    return static_cast<int>(length);
}

int VirtualKeyboard::GetFeatureReport(HidHandle* handle, std::uint8_t* data, std::size_t length) {
    std::lock_guard lock(mutex_);
    KEYLOFT_SIM_INTERFACE(itf, handle);
    if (length == 0) return -1;
    RecordLocked(itf.mode, ReportKind::FeatureGet, data, length);
    if (setup_.family != 2 || data[0] != 0x07 || length < 8 || !setup_.answersStatus) return -1;
    // The slot table comes back in four 7-byte blocks, one per request.
    const int pass = family2TablePass_;
    family2TablePass_ = (family2TablePass_ + 1) % 4;
    std::memcpy(data + 1, state_.family2.slotTable.data() + 7 * pass, 7);
    return 8;
}

#undef KEYLOFT_SIM_INTERFACE

// ---- the firmware -----------------------------------------------------------

void VirtualKeyboard::HandleOutputLocked(Interface& itf, const std::uint8_t* report,
                                         std::size_t length) {
    if (length < 1 + 64 || report[0] != 0) return;  // the keyboard takes whole reports of id 0
    const std::uint8_t* packet = report + 1;
    switch (setup_.family) {
        case 3:
            HandleFamily3Locked(itf, packet);
            break;
        case 1:
            HandleFamily1Locked(itf, report, length);
            break;
        case 2:
            if (IsFamily3Header(packet) && packet[3] == 0x33 && packet[4] == 0x0E) {
                ++state_.statusQueries;
                QueueReplyLocked(itf, StatusReplyLocked(itf));
            } else if (packet[0] == 0xBB && packet[1] == 0xAA && packet[2] == 0x99 && packet[3] == 0x88) {
                HandleFamily2PacketLocked(itf, packet);
            }
            break;
    }
}

void VirtualKeyboard::HandleFamily3Locked(Interface& itf, const std::uint8_t* p) {
    if (!IsFamily3Header(p)) return;
    // Framing A carries 0x33 where framing B has its command; no command is 0x33.
    const bool a = p[3] == 0x33;
    const int framing = a ? 0 : 1;
    const std::uint8_t code = a ? p[4] : p[3];
    const std::uint8_t* arg = a ? p + 5 : p + 4;
    const std::size_t chunkBytes = a ? 54 : 16;

    auto inRange = [code](int first, int count) { return code >= first && code < first + count; };

    // Key function block chunks.
    if ((a && inRange(0x00, 3)) || (!a && inRange(0x20, 8))) {
        const int first = a ? 0x00 : 0x20;
        const int count = a ? 3 : 8;
        const int index = code - first;
        if (index == 0) {
            blockBuffer_.assign(chunkBytes * count, 0);
            blockFraming_ = framing;
            blockNext_ = 0;
        }
        if (blockFraming_ != framing || index != blockNext_) return;  // out of order: dropped
        std::memcpy(blockBuffer_.data() + chunkBytes * index, arg, chunkBytes);
        if (++blockNext_ == count) {
            KeyFunctionBlock block;
            block.layer = blockBuffer_[0];
            block.keyCode = blockBuffer_[1];
            block.repeat = blockBuffer_[2];
            block.eventCount = blockBuffer_[3];
            block.bytes = blockBuffer_;
            state_.keyFunctionBlocks[{block.layer, block.keyCode}] = std::move(block);
            blockFraming_ = -1;
        }
        return;
    }
    // Live and eight-colour frames.
    if ((a && inRange(0xF0, 6)) || (!a && inRange(0xC0, 21))) {
        const int count = a ? 6 : 21;
        const int index = code - (a ? 0xF0 : 0xC0);
        ColourFrame& frame = state_.lastColourFrame;
        if (index == 0) {
            // Reuse the buffer: a colour stream sends a frame every 16 ms.
            frame.framing = framing;
            frame.chunks = 0;
            frame.complete = false;
            frame.data.clear();
        }
        if (frame.framing != framing || index != frame.chunks || frame.complete) return;
        frame.data.insert(frame.data.end(), arg, arg + chunkBytes);
        if (++frame.chunks == count) {
            frame.complete = true;
            ++state_.completeLiveFrames;
        }
        return;
    }
    // Per-key colour table.
    if ((a && inRange(0xF6, 6)) || (!a && inRange(0xE0, 21))) {
        const int index = code - (a ? 0xF6 : 0xE0);
        if (index == 0) {
            state_.perKeyColours.fill(0);
            state_.perKeyChunks = 0;
        }
        const std::size_t offset = chunkBytes * index;
        const std::size_t n = std::min(chunkBytes, state_.perKeyColours.size() - std::min(offset, state_.perKeyColours.size()));
        std::memcpy(state_.perKeyColours.data() + offset, arg, n);
        ++state_.perKeyChunks;
        return;
    }

    switch (code) {
        case 0x04:
            state_.keyAssignments[{arg[0], arg[1]}] = arg[2];
            break;
        case 0x07: {
            const bool lightBox = (arg[0] & arg[1] & arg[2] & arg[3] & arg[4] & 0x80) != 0;
            LightingState& target = lightBox ? state_.lightBox : state_.lighting;
            target.mode = arg[0] & 0x7F;
            target.brightness = arg[1] & 0x7F;
            target.speed = arg[2] & 0x7F;
            target.direction = arg[3] & 0x7F;
            target.colorIndex = arg[4] & 0x7F;
            ++target.received;
            break;
        }
        case 0x08:
            ClearContent(state_);
            ++state_.restores;
            break;
        case 0x09: {
            ++state_.arms;
            std::array<std::uint8_t, 64> reply{0xAA, 0x55, 0xCC, 0x33, 0x09};
            QueueReplyLocked(itf, reply);
            break;
        }
        case 0x0A: ++state_.applies; break;
        case 0x0B: ++state_.customModes; break;
        case 0x0C: state_.sleepTime = arg[0]; break;
        case 0x0D: state_.keyResponseTime = arg[0]; break;
        case 0x0E:
            ++state_.statusQueries;
            QueueReplyLocked(itf, StatusReplyLocked(itf));
            break;
        case 0x0F:
            state_.keyAssignments.clear();
            state_.keyFunctionBlocks.clear();
            ++state_.keyResets;
            break;
        case 0x10: state_.fnSwitch = arg[0]; break;
        default: break;  // unknown commands are ignored, as the firmware does
    }
}

void VirtualKeyboard::HandleFamily1Locked(Interface& itf, const std::uint8_t* r, std::size_t length) {
    if (IsFamily3Header(r + 1)) {  // the status query every family is sent
        if (r[4] == 0x33 && r[5] == 0x0E) {
            ++state_.statusQueries;
            QueueReplyLocked(itf, StatusReplyLocked(itf));
        }
        return;
    }
    Family1State& f = state_.family1;
    const std::size_t len = r[2];
    const std::size_t offset = r[3] | (r[4] << 8);
    switch (r[1]) {
        case 0x8D:
            for (std::size_t i = 0; i < len && 5 + i < length && offset + i < f.keyTable.size(); ++i) {
                f.keyTable[offset + i] = r[5 + i];
            }
            break;
        case 0x8E: {
            std::vector<std::uint8_t>& slot = f.slots[r[5]];
            const std::size_t n = std::min(len, length - 6);
            if (slot.size() < offset + n) slot.resize(offset + n);
            std::memcpy(slot.data() + offset, r + 6, n);
            break;
        }
        case 0x88:
        case 0x89:
            f.lighting.emplace_back(r, r + length);
            break;
        case 0xFF:
            if (r[2] == 0xFE && r[3] == 0xAA && r[4] == 0xFF) {
                f.keyTable.fill(0);
                f.slots.clear();
                ++f.restores;
            }
            break;
        default: break;
    }
}

void VirtualKeyboard::HandleFamily2PacketLocked(Interface& itf, const std::uint8_t* p) {
    Family2State& f = state_.family2;
    const bool sixAA = std::all_of(p + 4, p + 10, [](std::uint8_t b) { return b == 0xAA; });
    const bool empty = std::all_of(p + 4, p + 64, [](std::uint8_t b) { return b == 0; });
    if (sixAA) {
        family2RestorePending_ = true;
    } else if (empty) {
        if (family2RestorePending_) {
RestoreFamily2(f);
        }
        family2RestorePending_ = false;
    } else if (p[4] == 0xAA) {
        f.lighting.emplace_back(p, p + 64);
    }
}

void VirtualKeyboard::HandleFeatureLocked(Interface& itf, const std::uint8_t* d, std::size_t length) {
    if (setup_.family != 2 || length < 8) return;
    Family2State& f = state_.family2;
    family2TablePass_ = 0;
    if (d[0] == 0xAA && d[1] == 0x55 && d[2] == 0xCC && d[3] == 0x0F) {
        ++f.fullUploadStarts;
        return;
    }
    if (d[0] != 0x07) return;
    switch (d[1]) {
        case 0xF0:
            if (d[2] == 0xAA) {
RestoreFamily2(f);
            }
            break;
        case 0xF1:
            family2Buffer_.assign(168, 0);
            std::memcpy(family2Buffer_.data(), d + 2, 6);
            family2Reports_ = 1;
            break;
        case 0x00:
            if (family2Reports_ >= 1 && family2Reports_ < 28) {
                std::memcpy(family2Buffer_.data() + 6 * family2Reports_, d + 2, 6);
                if (++family2Reports_ == 28) {
                    const int slot = family2Buffer_[1];
                    if (slot >= 1 && slot <= 13) f.slotTable[slot] = family2Buffer_[2];
                    f.longSlots[slot] = family2Buffer_;
                    family2Reports_ = -1;
                }
            }
            break;
        case 0xF7:
            f.lighting.emplace_back(d, d + std::min<std::size_t>(length, 12));
            break;
        case 0xFA: {
            const int slot = d[3];
            if (slot >= 1 && slot <= 10) f.slotTable[13 + slot] = d[4];
            f.simpleSlots[slot] = {d[4], d[6]};
            break;
        }
        default: break;  // 0xFB 0x01 only rewinds the table read (above)
    }
}

}  // namespace keyloft::devicesim
