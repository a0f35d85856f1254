// The image cache under concurrent requests: loading happens under the cache
// lock, so threads asking for the same name at once all get the one entry.
#include <atomic>
#include <thread>

#include "ImgResInfo.h"
#include "PaintManager.h"
#include "RenderFixture.h"

using namespace TesselUI;
using namespace render_test;

TEST(CacheThreads, SimultaneousRequestsShareOneEntry) {
    ASSERT_TRUE(StartQt());
    TempProgramDir dir("threads");
    for (int i = 0; i < 4; ++i) dir.WriteStrip("img" + std::to_string(i) + ".png", 16, 16, {0xFFFF0000, 0xFF00FF00});
    LoosePaintManager pm;
    constexpr int kThreads = 4;
    ImgResInfo* seen[kThreads][4] = {};
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            ++ready;
            while (ready.load() < kThreads) std::this_thread::yield();
            for (int round = 0; round < 4; ++round) {
                const int i = (round + t) % 4;
                const std::wstring name = L"img" + std::to_wstring(i) + L".png";
                seen[t][i] = pm.AddImgResInfo(name.c_str(), 2 + t);  // counts differ on purpose
            }
        });
    for (auto& th : threads) th.join();
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(seen[0][i], nullptr);
        for (int t = 1; t < kThreads; ++t) EXPECT_EQ(seen[t][i], seen[0][i]) << "image " << i << " thread " << t;
        EXPECT_EQ(seen[0][i]->GetCellWidth(), 32 / seen[0][i]->GetCount()) << "one request decided the cells";
    }
    EXPECT_EQ(pm.FileImages().size(), 4u);
}
