// The list manager's wrapper through the stand-in kernel: forwarding to the
// real manager, to none, and to a foreign object.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "plugins/catalog/soft_list_mgr.h"
#include "tests/doubles/kernel/kernel_fixture.h"

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
    // The kernel's one list manager is behind the wrapper.
    EXPECT_EQ(w->Search(7, L"abc"), 1);
    IBexPlugin* direct = nullptr;
    ASSERT_EQ(Create(70, &direct), S_OK);
    EXPECT_STREQ(static_cast<ISoftListMgr*>(direct)->GetSearchKeyword(1), L"ABC");
    direct->Release();
    EXPECT_EQ(w->SearchByCoop(7, L"abc", 0, 20), 2) << "our own manager gets the partner searches";
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

TEST_F(ListMgrWrapper, AForeignManagerGetsEveryForwardedSlotButNotOurSearchSlots) {
    // The foreign object pops exactly each slot's own arguments and ends
    // the process on slots 23 and above.
    Configure("[classes]\n70=foreign\n");
    ISoftListMgr* w = MakeWrapper();
    const auto h = reinterpret_cast<HWND>(0x11);
    const wchar_t* n = L"n";
    IBexPlugin** o = reinterpret_cast<IBexPlugin**>(0x22);
    for (int i = 0; i < 1000; ++i) {
        w->Start();
        w->Stop();
        w->AddListener(h, 0x33);
        w->RemoveListener(h);
        w->GetCatalogCount(1);
        w->RequestCatalog(2);
        w->GetCatalog(1, 2, o);
        w->GetListIds(1, n, 3, o);
        w->GetListIdsAt(1, 2, 3, o);
        w->RequestListByName(1, n, 3);
        w->RequestList(1, 2, 3);
        w->GetListItem(1, n, 4, o);
        w->GetListItemAt(1, 2, 4, o);
        w->GetListTitle(1, n, 3, o);
        w->Search(7, n);
        w->GetSearchIds(n, o);
        w->GetSearchIdsById(5, o);
        w->GetSearchItem(4, o);
        ASSERT_STREQ(w->GetSearchKeyword(5), L"FOREIGN");
        w->Reserved22(o, o, o);
        ASSERT_EQ(w->SearchByCoop(7, n, 0, 20), 0);
        ASSERT_EQ(w->GetCoopSearchIds(n, 0, o), 0);
        ASSERT_EQ(w->GetCoopSearchIdsById(1, o), 0);
        ASSERT_EQ(w->GetSearchTotal(n), 0);
    }
    EXPECT_EQ(CountLines("foreign 70.3 []"), 1000);
    EXPECT_EQ(CountLines("foreign 70.5 [0x00000011,0x00000033]"), 1000);
    EXPECT_EQ(CountLines("foreign 70.9 [0x00000001,0x00000002,0x00000022]"), 1000);
    EXPECT_EQ(CountLines("foreign 70.13 [0x00000001,0x00000002,0x00000003]"), 1000);
    EXPECT_EQ(CountLines("foreign 70.15 [0x00000001,0x00000002,0x00000004,0x00000022]"), 1000);
    EXPECT_EQ(CountLines("foreign 70.21 [0x00000005]"), 1000);
    EXPECT_EQ(CountLines("foreign 70.22 [0x00000022,0x00000022,0x00000022]"), 1000);
    w->Release();
}

}  // namespace
