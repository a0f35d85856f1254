// A rescan on the worker racing single-packet sends from the UI thread.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "DeviceRig.h"
#include "device/DeviceCommands.h"

namespace keyloft::testing {
namespace {

TEST(RescanRace, SendsNeverUseAClosedInterfaceAndEverySuccessArrives) {
    Rig rig(KeyboardSetup::CableAndReceiver());
    ASSERT_EQ(rig.Rescan(), 0);
    const std::size_t mark = rig.Mark();

    std::atomic<bool> rescansDone{false};
    std::atomic<int> succeeded{0};
    std::thread ui([&] {
        // Keep sending through all the rescans, and until some sends got through.
        for (int i = 0; !rescansDone || succeeded < 50; ++i) {
            if (SendSleepTime(rig.hid, Framing::A, 1 + i % 4)) ++succeeded;
        }
    });
    for (int i = 0; i < 300; ++i) {
        rig.Rescan();
        std::this_thread::yield();
    }
    rescansDone = true;
    ui.join();

    int arrived = 0;
    for (const auto& r : rig.kb.ReportsAfter(mark)) {
        if (r.bytes[5] == cmd::kSleepTime) ++arrived;
    }
    EXPECT_EQ(arrived, succeeded.load()) << "a send reported as done must have reached the keyboard";
    EXPECT_EQ(rig.kb.StaleHandleUses(), 0) << "a send used an interface that a rescan had closed";
    EXPECT_EQ(rig.kb.OpenHandleCount(), 3);
}

}  // namespace
}  // namespace keyloft::testing
