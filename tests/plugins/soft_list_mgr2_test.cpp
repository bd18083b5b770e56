// The list manager's wrapper through the stand-in kernel: forwarding to the
// real manager, to none, and to a foreign object.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "plugins/catalog/soft_list_mgr.h"
#include "tests/plugins/bex_kernel_fixture.h"

namespace {

using catalog::ISoftListMgr;

class ListMgrWrapper : public BexKernelTest {
protected:
    ISoftListMgr* MakeWrapper() {
        EXPECT_EQ(LoadPlugin(L"Tandrel.dll"), S_OK);
        IBexPlugin* object = nullptr;
        EXPECT_EQ(Create(303, &object), S_OK);
        return static_cast<ISoftListMgr*>(object);
    }
};

TEST_F(ListMgrWrapper, MakesItsInnerManagerAndForwardsToIt) {
    ISoftListMgr* w = MakeWrapper();
    const auto lines = LogLines();
    const auto made = std::find(lines.begin(), lines.end(), "-3 303");
    ASSERT_NE(made, lines.end());
    EXPECT_NE(std::find(made, lines.end(), "create 70 0x00000000"), lines.end());
    ClearLog();
    EXPECT_EQ(w->Start(), 1);  // the real manager asks for its services
    EXPECT_GE(CountLines("create 49 0x00000000"), 1);
    EXPECT_EQ(w->GetCatalogCount(7), 0);
    EXPECT_EQ(w->Stop(), 1);
    w->Release();
}

TEST_F(ListMgrWrapper, WithoutAnInnerManagerEverySlotAnswersNothing) {
    Configure("[classes]\n70=refuse\n");
    ISoftListMgr* w = MakeWrapper();
    IBexPlugin* out = nullptr;
    EXPECT_EQ(w->Start(), 0);
    EXPECT_EQ(w->AddListener(nullptr, 1), 0);
    EXPECT_EQ(w->GetListItem(0, L"a", 1, &out), 0);
    EXPECT_EQ(w->Search(7, L"abc"), 0);
    const wchar_t* keyword = w->GetSearchKeyword(1);
    ASSERT_NE(keyword, nullptr);
    EXPECT_EQ(*keyword, L'\0');
    EXPECT_EQ(w->Reserved22(nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(w->SearchByCoop(7, L"abc", 0, 20), 0);
    EXPECT_EQ(w->GetSearchTotal(L"ABC"), 0);
    EXPECT_EQ(out, nullptr);
    w->Release();
    EXPECT_EQ(CountLines("-4 303"), 0);
}

TEST_F(ListMgrWrapper, AForeignManagerIsNotAskedForTheSearchSlotsOfOurOwn) {
    // Any slot above 2 of the stand-in's foreign object ends the process.
    Configure("[classes]\n70=foreign\n");
    ISoftListMgr* w = MakeWrapper();
    IBexPlugin* out = nullptr;
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(w->SearchByCoop(7, L"abc", 0, 20), 0);
        ASSERT_EQ(w->GetCoopSearchIds(L"abc", 0, &out), 0);
        ASSERT_EQ(w->GetCoopSearchIdsById(1, &out), 0);
        ASSERT_EQ(w->GetSearchTotal(L"abc"), 0);
    }
    w->Release();
}

}  // namespace
