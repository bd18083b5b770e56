// Without a kernel bound (this program never binds one) every factory
// answers E_OUTOFMEMORY and leaves the caller's pointer alone.
#include <gtest/gtest.h>

#include "plugins/setup/setup_classes.h"

using namespace setup;

namespace {

TEST(LumvexUnbound, EveryFactoryFailsWithoutTouchingTheOutPointer) {
    for (auto factory : {&CreateBexSetupUtil, &CreateBexDaemon, &CreatePinToStartMenu, &CreateSetupJob,
                         &CreateMiscJob}) {
        IBexPlugin* sentinel = reinterpret_cast<IBexPlugin*>(0x5EA7);
        IBexPlugin* out = sentinel;
        EXPECT_EQ(factory(&out), static_cast<HRESULT>(0x8007000E));
        EXPECT_EQ(out, sentinel);
        EXPECT_EQ(factory(nullptr), static_cast<HRESULT>(0x80070057));
    }
}

}  // namespace
