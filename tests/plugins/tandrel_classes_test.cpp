// Tandrel whole: every class of its table made through the stand-in
// kernel, one slot of its own asked, released; the balance holds.
#include <gtest/gtest.h>
#include <windows.h>

#include "plugins/catalog/soft_info.h"
#include "plugins/catalog/soft_info_data.h"
#include "plugins/catalog/soft_list_data.h"
#include "plugins/catalog/soft_list_mgr.h"
#include "plugins/catalog/soft_recommend.h"
#include "tests/plugins/bex_kernel_fixture.h"

namespace {

class TandrelClasses : public BexKernelTest {};

TEST_F(TandrelClasses, EveryClassAnswersASlotOfItsOwnAndIsReleased) {
    ASSERT_EQ(LoadPlugin(L"Tandrel.dll"), S_OK);
    const uint32_t ids[] = {68, 69, 70, 303, 302, 301, 147, 148, 108, 109};
    for (uint32_t id : ids) {
        IBexPlugin* object = nullptr;
        ASSERT_EQ(Create(id, &object), S_OK) << id;
        ASSERT_EQ(object->GetClassId(), id);
        switch (id) {
        case 68:
            EXPECT_EQ(static_cast<catalog::ISoftListData*>(object)->GetSoftId(), 0u);
            break;
        case 69:
            EXPECT_STREQ(static_cast<catalog::ISoftCatalogData*>(object)->GetName(), L"");
            break;
        case 70:
        case 303:
            EXPECT_EQ(static_cast<catalog::ISoftListMgr*>(object)->GetSearchTotal(L"x"), 0);
            break;
        case 302:
            EXPECT_EQ(static_cast<catalog::ISoftReCmdData*>(object)->GetSoftId(), 0u);
            break;
        case 301:
        case 147:
            EXPECT_EQ(static_cast<catalog::ISoftReCommend*>(object)->GetCount(), 0);
            break;
        case 148:
            EXPECT_EQ(static_cast<catalog::ISoftReCommend3*>(object)->IsReady(nullptr, nullptr, nullptr), 1);
            break;
        case 108:
            EXPECT_EQ(static_cast<catalog::ISoftInfoData*>(object)->GetSoftId(), 0u);
            break;
        case 109:
            EXPECT_EQ(static_cast<catalog::ISoftInfo*>(object)->Stop(), 1);
            break;
        }
        object->Release();
    }
}

}  // namespace
