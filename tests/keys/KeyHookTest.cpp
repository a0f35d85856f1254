#include "keys/KeyHook.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

struct FakeSource : KeyEventSource {
    int* starts;
    int* stops;
    bool ok = true;
    std::function<bool(const KeyHookEvent&)> deliver;
    FakeSource(int* a, int* b) : starts(a), stops(b) {}
    bool Start(std::function<bool(const KeyHookEvent&)> d) override {
        ++*starts;
        deliver = std::move(d);
        return ok;
    }
    void Stop() override { ++*stops; }
};

TEST(KeyHook, FirstRegistrationStartsTheSourceAndDestructionStopsIt) {
    int starts = 0, stops = 0;
    std::vector<int> seen;
    {
        auto source = std::make_unique<FakeSource>(&starts, &stops);
        FakeSource* raw = source.get();
        KeyHook hook(std::move(source));
        EXPECT_FALSE(hook.Installed());
        ASSERT_TRUE(hook.Register(1, [&](const KeyHookEvent&) { seen.push_back(1); return false; }));
        ASSERT_TRUE(hook.Register(2, [&](const KeyHookEvent&) { seen.push_back(2); return true; }));
        ASSERT_TRUE(hook.Register(1, [&](const KeyHookEvent&) { seen.push_back(99); return true; }));
        ASSERT_TRUE(hook.Register(3, [&](const KeyHookEvent&) { seen.push_back(3); return true; }));
        EXPECT_EQ(starts, 1);
        // delivered in registration order until a handler swallows it
        EXPECT_TRUE(raw->deliver({kMsgKeyDown, 'A', 30, 0, 5}));
        EXPECT_EQ(seen, (std::vector<int>{1, 2}));
        seen.clear();
        hook.SetActive(2, false);
        EXPECT_TRUE(hook.Deliver({kMsgKeyUp, 'A', 30, 0, 6}));
        EXPECT_EQ(seen, (std::vector<int>{1, 3}));
        seen.clear();
        hook.Unregister(3);
        EXPECT_FALSE(hook.Deliver({kMsgKeyUp, 'A', 30, 0, 7}));
        EXPECT_EQ(seen, (std::vector<int>{1}));
        EXPECT_EQ(stops, 0);
    }
    EXPECT_EQ(stops, 1);
}

TEST(KeyHook, ASourceThatCannotStartIsReported) {
    int starts = 0, stops = 0;
    auto source = std::make_unique<FakeSource>(&starts, &stops);
    source->ok = false;
    KeyHook hook(std::move(source));
    EXPECT_FALSE(hook.Register(1, [](const KeyHookEvent&) { return true; }));
    EXPECT_FALSE(hook.Installed());
}

}  // namespace
}  // namespace keyloft
