// The owning reference keeps exactly the references it was given.
#include <gtest/gtest.h>

#include "protocol/plugin_ref.h"

namespace {

struct Counted : IBexPlugin {
    LONG count = 1;
    uint32_t BEX_CALL GetClassId() override { return 1; }
    LONG BEX_CALL AddRef() override { return ++count; }
    LONG BEX_CALL Release() override { return --count; }
};

TEST(PluginRef, TakingOverTheObjectItHoldsKeepsOneReference) {
    Counted a;
    Counted b;
    {
        protocol::PluginRef<> ref(&a);
        a.AddRef();  // the caller's own, handed over below
        ref.Reset(&a);
        EXPECT_EQ(a.count, 1);
        protocol::PluginRef<> other = protocol::PluginRef<>::AddRefed(&a);
        ref = std::move(other);
        EXPECT_EQ(a.count, 1);
        ref.Reset(&b);
        EXPECT_EQ(a.count, 0);
    }
    EXPECT_EQ(b.count, 0);
}

}  // namespace
