// One SendCommand without reply through the manager to the virtual keyboard, on the
// real clock. The counter "allocs/send" counts every operator new made while the
// sends ran: the manager builds its report on the stack and must allocate nothing.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "device/CommandPacket.h"
#include "device/HidDeviceManager.h"
#include "devicesim/Simulator.h"
#include "devicesim/VirtualKeyboard.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
// The replacement new above takes its memory from malloc, so free is the match;
// the compiler cannot see that pairing.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

using namespace keyloft;

void BM_SendCommandWithoutReply(benchmark::State& state) {
    devicesim::VirtualKeyboard kb(devicesim::KeyboardSetup::Cable());
    kb.SetRecording(false);
    HidDeviceManager hid(kb);
    devicesim::RegisterConfiguredModels(hid);
    hid.OpenAll();
    hid.SetOpened(1);
    hid.SetSelectedType(devicesim::kK1DeviceType);
    CommandPacket packet = MakeCommand(Framing::A, cmd::kSleepTime, {2});
    if (!hid.SendCommand(packet.span(), false)) {
        state.SkipWithError("the virtual keyboard did not take the command");
        return;
    }
    const long before = g_allocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(hid.SendCommand(packet.span(), false));
    }
    const long allocations = g_allocations.load() - before;
    state.counters["allocs/send"] =
        benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(state.iterations()));
    if (kb.State().sleepTime != 2) state.SkipWithError("the keyboard did not store the setting");
}
BENCHMARK(BM_SendCommandWithoutReply);

}  // namespace
