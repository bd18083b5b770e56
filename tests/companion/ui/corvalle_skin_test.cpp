// Corvalle's skin set as the program registers it: every picture is among
// its resources, cut as its windows expect.
#include <gtest/gtest.h>

#include "companion/ui/corvalle_skin.h"
#include "toolkit/bex_bitmap.h"

using namespace companion;
using namespace toolkit;

namespace {

TEST(SkinSet, EveryPictureIsInTheProgramWithItsGeometry) {
    struct Expect {
        UINT id;
        WORD frames;
        bool alpha;
    };
    const Expect table[] = {{110, 1, true},  {111, 1, false}, {112, 3, true},  {113, 3, true},  {114, 1, true},
                            {115, 1, true},  {116, 1, true},  {117, 3, true},  {118, 3, true},  {119, 1, true},
                            {120, 1, true},  {121, 4, true},  {122, 1, false}, {130, 2, true},  {134, 1, false},
                            {135, 1, true},  {136, 4, true},  {137, 1, true},  {138, 1, true},  {139, 1, true},
                            {140, 1, true},  {141, 1, true},  {142, 1, true},  {143, 9, true}};
    for (const auto& e : table) {
        CBexBitmap* b = BexSkinBitmap(e.id);
        ASSERT_TRUE(b) << e.id;
        EXPECT_EQ(e.frames, b->FrameCount()) << e.id;
        ASSERT_TRUE(b->Load()) << e.id;
        EXPECT_GT(b->FrameWidth(), 0) << e.id;
        EXPECT_EQ(e.alpha, b->HasAlpha()) << e.id;
        EXPECT_EQ(0, b->Width() % e.frames) << e.id;
    }
    // The navigation strips hold three frames side by side.
    for (UINT id : {137u, 138u, 139u, 140u, 142u}) EXPECT_EQ(0, BexSkinBitmap(id)->Width() % 3) << id;
    // Nine-part margins lie inside their pictures.
    for (UINT id : {110u, 122u, 134u}) {
        auto* nine = static_cast<CBexBitmap9Part*>(BexSkinBitmap(id));
        EXPECT_LT(nine->MarginLeft(), nine->MarginRight()) << id;
        EXPECT_LE(nine->MarginRight(), nine->FrameWidth()) << id;
        EXPECT_LT(nine->MarginTop(), nine->MarginBottom()) << id;
        EXPECT_LE(nine->MarginBottom(), nine->Height()) << id;
    }
    // The chooser's three-part buttons are 90 wide so both ends are 30; the
    // countdown's execute button is narrower to fit beside the right edge.
    EXPECT_EQ(66, BexSkinBitmap(112)->FrameWidth());
    EXPECT_EQ(90, BexSkinBitmap(121)->FrameWidth());
    EXPECT_EQ(16, BexSkinBitmap(143)->FrameWidth());
    EXPECT_EQ(nullptr, BexSkinBitmap(999));

    ASSERT_TRUE(BexAppIcon());
    EXPECT_EQ(16, BexAppIcon()->FrameWidth());
    EXPECT_TRUE(BexAppIcon()->HasAlpha());
    EXPECT_TRUE(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(107)));
    EXPECT_TRUE(::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(132)));
    EXPECT_TRUE(::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(133)));
}

// A program that registered another set gets Corvalle's back whole.
TEST(SkinSet, RegisteringCorvallesSkinAgainReplacesAnotherSet) {
    const BexSkinPicture pictures[] = {{110, BexSkinPicture::kWhole, 2, 0, 0, 0, 0}};
    BexSkinSet set;
    set.pictures = pictures;
    set.count = 1;
    RegisterBexSkinSet(set);
    EXPECT_EQ(nullptr, BexSkinBitmap(113)) << "not in this set";

    RegisterCorvalleSkin();
    EXPECT_TRUE(BexSkinBitmap(113));
    EXPECT_TRUE(BexAppIcon());
}

}  // namespace
