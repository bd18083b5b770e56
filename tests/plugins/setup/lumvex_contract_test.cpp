// Lumvex.dll through the stand-in kernel, as the kernel reaches it in
// production: the table, the factories and the release rule.
#include <objbase.h>

#include <cstring>
#include <thread>

#include "base/module_exports.h"
#include "plugins/common/kernel_binding.h"
#include "plugins/setup/setup_classes.h"
#include "tests/doubles/kernel/kernel_fixture.h"

using namespace setup;

namespace {

class LumvexContract : public BexKernelTest {
protected:
    void SetUp() override {
        BexKernelTest::SetUp();
        ASSERT_EQ(LoadPlugin(L"Lumvex.dll"), S_OK);
        ClearLog();
    }
    static const BYTE* TableBytes() {
        const HMODULE module = ::GetModuleHandleW(L"Lumvex.dll");
        return base::Export<const BYTE*>(module, protocol::kTableExportName);
    }
};

// Names, flags and order are checked through the host program.
TEST_F(LumvexContract, TableFramesFiveFactoriesThatRefuseANullOutPointer) {
    const BYTE* bytes = TableBytes();
    ASSERT_NE(bytes, nullptr);
    const BYTE header[16] = {0x70, 0x78, 0x65, 0x62};
    EXPECT_EQ(std::memcmp(bytes, header, 16), 0);
    const auto* entry = reinterpret_cast<const protocol::PluginEntry*>(bytes + 16);
    for (int row = 0; row < 5; ++row, ++entry) EXPECT_EQ(entry->factory(nullptr), E_INVALIDARG) << entry->classId;
    const BYTE zero[16] = {};
    EXPECT_EQ(std::memcmp(entry, zero, 16), 0);
    EXPECT_TRUE(LogLines().empty()) << "a null out pointer sends no notice";
}

TEST_F(LumvexContract, EachClassIsANewObjectUnderRuleA) {
    for (uint32_t id : {88u, 89u, 90u, 91u, 403u}) {
        ClearLog();
        IBexPlugin* first = nullptr;
        IBexPlugin* second = nullptr;
        ASSERT_EQ(Create(id, &first), S_OK) << id;
        ASSERT_EQ(Create(id, &second), S_OK) << id;
        EXPECT_NE(first, second) << "not a shared object";
        EXPECT_EQ(first->GetClassId(), id);
        EXPECT_EQ(CountLines("-3 " + std::to_string(id)), 2);
        EXPECT_EQ(first->AddRef(), 2);
        EXPECT_EQ(first->Release(), 1);
        EXPECT_EQ(CountLines("-4 " + std::to_string(id)), 0);
        EXPECT_EQ(first->Release(), 0);
        EXPECT_EQ(CountLines("-4 " + std::to_string(id)), 1) << id;
        second->Release();
    }
}

TEST_F(LumvexContract, SetupUtilTakesSerialsAndGivesBackOnlyItsOwnCom) {
    // The library's own copy, bound to the stand-in as the DLL is.
    ASSERT_EQ(plugin::LoadKernelDll(), S_OK);
    std::vector<IBexPlugin*> made;
    for (uint32_t serial : {kFirstSetupUtilSerial, kFirstSetupUtilSerial + 1, kFirstSetupUtilSerial + 2}) {
        IBexPlugin* object = nullptr;
        ASSERT_EQ(CreateBexSetupUtil(&object), S_OK);
        EXPECT_EQ(static_cast<CBexSetupUtil*>(object)->Serial(), serial);
        made.push_back(object);
    }
    // Made on a thread of its own, released here: that thread's COM is not
    // this thread's to give back, and this thread's COM stays.
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IBexPlugin* elsewhere = nullptr;
    std::thread([&] { CreateBexSetupUtil(&elsewhere); }).join();
    ASSERT_NE(elsewhere, nullptr);
    elsewhere->Release();
    for (IBexPlugin* object : made) object->Release();
    // Three objects of this thread each gave back their own initialisation;
    // the test's own is still there.
    EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    ::CoUninitialize();
    ::CoUninitialize();
    EXPECT_EQ(CountLines("-3 88"), 4);
    EXPECT_EQ(CountLines("-4 88"), 4);
}

}  // namespace
