// Sends build their reports on the stack: a send through the manager allocates
// nothing (the UI thread sends while the worker runs, and colour frames go out
// every 16 ms).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "DeviceRig.h"
#include "device/ChunkedTransfer.h"
#include "device/DeviceCommands.h"

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

namespace keyloft::testing {
namespace {

TEST(NoAllocation, SendsAndColourFramesAllocateNothing) {
    Rig rig(KeyboardSetup::Receiver());
    rig.kb.SetRecording(false);
    rig.Rescan();
    CommandPacket packet = MakeCommand(Framing::B, cmd::kSleepTime, {2});
    std::uint8_t colours[336] = {1, 2, 3};
    const Report report = ToReport(packet);

    auto sendAll = [&] {
        bool ok = rig.hid.SendCommand(packet.span(), false);
        ok = rig.hid.WriteReport(report) && ok;
        ok = rig.hid.WritePacket(packet.span()) && ok;
        return SendLiveColourFrame(rig.hid, Framing::B, colours) && ok;
    };
    // The first round lets the test's own clock and the keyboard's frame buffer
    // grow to size; the second must not allocate at all.
    ASSERT_TRUE(sendAll());
    rig.clock.ClearPauses();
    const long before = g_allocations.load();
    const bool ok = sendAll();
    const long allocations = g_allocations.load() - before;
    EXPECT_TRUE(ok);
    EXPECT_EQ(allocations, 0);
}

}  // namespace
}  // namespace keyloft::testing
