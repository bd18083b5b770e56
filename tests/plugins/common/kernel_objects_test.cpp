// Creation of kernel objects through the plug-in's own binding.
#include "plugins/common/kernel_binding.h"
#include "plugins/common/kernel_calls.h"
#include "tests/doubles/kernel/kernel_fixture.h"

namespace {

class KernelObjects : public BexKernelTest {
protected:
    void SetUp() override {
        BexKernelTest::SetUp();
        ASSERT_EQ(plugin::LoadKernelDll(), S_OK);
    }
};

TEST_F(KernelObjects, OnlyASuccessWithAnObjectCounts) {
    struct Case {
        const char* mode;
        HRESULT expected;
    };
    for (const Case c : {Case{"serve", S_OK}, Case{"refuse", E_FAIL}, Case{"null", E_FAIL}}) {
        Configure(std::string("[classes]\n3=") + c.mode + "\n");
        protocol::PluginRef<protocol::kernel::String> slot;
        EXPECT_EQ(plugin::CreateKernelObject(slot), c.expected) << c.mode;
        EXPECT_EQ(static_cast<bool>(slot), c.expected == S_OK) << c.mode;
    }
}

TEST_F(KernelObjects, ARenewedSlotLetsGoOfItsOldObjectAndAStringGetsItsText) {
    protocol::PluginRef<protocol::kernel::String> slot;
    ASSERT_NE(plugin::RenewKernelObject(slot), nullptr);
    EXPECT_EQ(slot->GetClassId(), 3u);
    protocol::kernel::String* string = plugin::RenewKernelString(slot, L"\x4F60\x597D");
    ASSERT_NE(string, nullptr);
    EXPECT_EQ(protocol::StringText(string), std::optional<std::wstring>(L"\x4F60\x597D"));
    wchar_t* buffer = protocol::StringBuffer(string, 3);
    ASSERT_NE(buffer, nullptr);
    wcscpy(buffer, L"abc");
    EXPECT_TRUE(protocol::StringEnd(string));
    EXPECT_EQ(protocol::StringText(string), std::optional<std::wstring>(L"abc"));
    // The balance check at the end finds the first string released.
}

}  // namespace
