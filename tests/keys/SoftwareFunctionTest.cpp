#include "keys/SoftwareFunction.h"

#include "KeysTestSupport.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

struct FakeDesktop : SoftwareFunctionHost {
    std::vector<std::wstring> calls;
    bool ShellOpen(const std::wstring& t) override {
        calls.push_back(L"open " + t);
        return true;
    }
    bool PasteText(const std::wstring& t) override {
        calls.push_back(L"paste " + t);
        return true;
    }
    void SwitchProfile(int p) override { calls.push_back(L"profile " + std::to_wstring(p)); }
};

struct SoftwareFunction : test::StoreFixture {
    int Other(int type, const std::wstring& desc, const std::wstring& param) {
        KeyOtherData d;
        d.type = type;
        d.macro_desc = desc;
        d.param = param;
        return store.AddKeyOtherData(d);
    }
};

TEST_F(SoftwareFunction, EachTypeReachesItsDesktopService) {
    struct Row { int type; std::wstring desc, param; bool done; std::wstring call; };
    const Row rows[] = {
        {8, L"Editor", L"/usr/bin/gedit", true, L"open /usr/bin/gedit"},
        {8, L"Nothing", L"", false, L""},
        {9, L"example.org", L"", true, L"open www.example.org"},
        {9, L"www.example.org/a", L"", true, L"open www.example.org/a"},
        {9, L"https://example.org", L"", true, L"open https://example.org"},
        {10, L"Hello, wörld", L"", true, L"paste Hello, wörld"},
        {10, L"", L"", false, L""},
        {11, L"Work", std::to_wstring(profile), true, L"profile " + std::to_wstring(profile)},
        {11, L"Gone", L"4711", false, L""},
        {11, L"Junk", L"x", false, L""},
        {12, L"?", L"?", false, L""},
    };
    for (const Row& r : rows) {
        FakeDesktop desktop;
        const int id = Other(r.type, r.desc, r.param);
        EXPECT_EQ(RunKeySoftwareFunction(store, id, desktop), r.done) << r.desc;
        EXPECT_EQ(desktop.calls, r.call.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{r.call})
            << r.desc;
    }
    FakeDesktop desktop;
    EXPECT_FALSE(RunKeySoftwareFunction(store, 999, desktop));
    EXPECT_TRUE(desktop.calls.empty());
}

}  // namespace
}  // namespace keyloft
