// Tandrel's factories and release rules through the stand-in kernel, as the
// kernel reaches them in production.
#include <thread>
#include <vector>

#include "base/module_exports.h"
#include "tests/doubles/kernel/kernel_fixture.h"

namespace {

class TandrelContract : public BexKernelTest {
protected:
    void SetUp() override {
        BexKernelTest::SetUp();
        ASSERT_EQ(LoadPlugin(L"Tandrel.dll"), S_OK);
        ClearLog();
    }
    const protocol::PluginEntry* Table() {
        const HMODULE module = ::GetModuleHandleW(L"Tandrel.dll");
        const auto* header = base::Export<const protocol::PluginTableHeader*>(module, protocol::kTableExportName);
        return header ? reinterpret_cast<const protocol::PluginEntry*>(header + 1) : nullptr;
    }
};

TEST_F(TandrelContract, EveryFactoryRejectsANullOutPointerWithoutANotice) {
    const protocol::PluginEntry* entry = Table();
    ASSERT_NE(entry, nullptr);
    int rows = 0;
    for (; entry->factory; ++entry, ++rows) EXPECT_EQ(entry->factory(nullptr), E_INVALIDARG) << entry->classId;
    EXPECT_EQ(rows, 10);
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(TandrelContract, EachClassIsMadeWithItsNoticeAndWrappersAskForTheirInnerObject) {
    struct Case {
        uint32_t id;
        int inner;  // the class a wrapper asks the kernel for, or 0
    };
    for (const Case c : {Case{68, 0}, Case{69, 0}, Case{70, 0}, Case{303, 70}, Case{302, 0}, Case{301, 0},
                         Case{147, 301}, Case{148, 301}, Case{108, 0}, Case{109, 0}}) {
        ClearLog();
        IBexPlugin* object = nullptr;
        ASSERT_EQ(Create(c.id, &object), S_OK) << c.id;
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->GetClassId(), c.id);
        EXPECT_EQ(CountLines("-3 " + std::to_string(c.id)), 1) << c.id;
        if (c.inner) {
            EXPECT_EQ(CountLines("create " + std::to_string(c.inner) + " 0x00000000"), 1) << c.id;
        }
        object->Release();
    }
}

TEST_F(TandrelContract, ARecordIsDestroyedByTheReleaseThatReachesZero) {
    IBexPlugin* record = nullptr;
    ASSERT_EQ(Create(108, &record), S_OK);
    EXPECT_EQ(record->AddRef(), 2);
    EXPECT_EQ(record->Release(), 1);
    EXPECT_EQ(CountLines("-4 108"), 0);
    EXPECT_EQ(record->Release(), 0);
    EXPECT_EQ(CountLines("-4 108"), 1);
}

TEST_F(TandrelContract, AManagerOutlivesItsLastClientUntilTheFinalRelease) {
    IBexPlugin* manager = nullptr;
    ASSERT_EQ(Create(109, &manager), S_OK);
    EXPECT_EQ(manager->Release(), 0);
    EXPECT_EQ(CountLines("-4 109"), 0);
    EXPECT_EQ(manager->GetClassId(), 109u);
    // The kernel's final release, at shutdown.
    TearDown();
    EXPECT_EQ(CountLines("-4 109"), 1);
}

TEST_F(TandrelContract, CountsStayExactUnderConcurrentReferences) {
    IBexPlugin* record = nullptr;
    ASSERT_EQ(Create(302, &record), S_OK);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([record] {
            for (int i = 0; i < 100000; ++i) {
                record->AddRef();
                record->Release();
            }
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(CountLines("-4 302"), 0);
    EXPECT_EQ(record->Release(), 0);
}

}  // namespace
