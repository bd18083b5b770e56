// The junk scan and the start-up items check against their stand-ins (the
// clean-up library and the kernel beside this program), the timing hook, and
// Corvalle's kernel binding from the App Paths value.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "companion/actions/maintenance_actions.h"
#include "companion/kernel/debugger_hook.h"
#include "companion/kernel/junk_scan.h"
#include "companion/kernel/kernel_library.h"
#include "companion/kernel/startup_items.h"
#include "companion/system/paths.h"
#include "tests/companion/fake_action_environment.h"
#include "tests/doubles/kernel/kernel_fixture.h"
#include "tests/support/prefix_state.h"

using namespace companion;

namespace {

constexpr wchar_t kAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tarvisk.exe";

std::wstring TestDir() {
    std::wstring dir;
    GetExeDir(dir);
    return dir;
}
std::wstring Sweeper() { return TestDir() + L"drovask_double.dll"; }

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::ifstream in(testsupport::Narrow(path));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

size_t IndexOf(const std::vector<std::string>& lines, const std::string& line, bool last = false) {
    size_t found = std::string::npos;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != line) continue;
        found = i;
        if (!last) break;
    }
    return found;
}

void SetEnv(const wchar_t* name, const std::wstring& value) {
    ::SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
}

// Fresh logs and configuration for both stand-ins.
class KernelChecksTest : public KernelFilesTest {
protected:
    void SetUp() override {
        KernelFilesTest::SetUp();
        settings_.WiseHealthAlert = true;
        sweeperLog_ = WorkDir() + L"drovask.log";
        ::DeleteFileW(sweeperLog_.c_str());
        SetEnv(L"DROVASK_LOG", sweeperLog_);
        SetEnv(L"DROVASK_FAIL_SLOT", L"");
    }
    void Sizes(const std::wstring& system, const std::wstring& other) {
        SetEnv(L"DROVASK_SIZE_1", system);
        SetEnv(L"DROVASK_SIZE_105", other);
    }

    FakeActionEnvironment env_;
    SharedSettings settings_;
    std::wstring sweeperLog_;
};

// ---- junk -------------------------------------------------------------------

TEST_F(KernelChecksTest, JunkIsDueFromTwoHundredMebibytesTogether) {
    const struct {
        const wchar_t* system;
        const wchar_t* other;
        const wchar_t* failingSlot;
        bool due;
    } cases[] = {
        {L"104857600", L"104857600", L"", true},
        {L"104857599", L"104857600", L"", false},
        {L"18446744073709551615", L"2", L"", true},  // saturates instead of wrapping to 1
        {L"104857600", L"104857600", L"63", false},
        {L"104857600", L"104857600", L"20", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(std::wstring(c.system) + L"+" + c.other + L" fail " + c.failingSlot));
        Sizes(c.system, c.other);
        SetEnv(L"DROVASK_FAIL_SLOT", c.failingSlot);
        EXPECT_EQ(ScanJunkSize(Sweeper()), c.due);
    }
}

TEST_F(KernelChecksTest, TheScanCallsTheSweepersSlotsInOrderAndReleasesEverything) {
    Sizes(L"1", L"2");
    EXPECT_FALSE(ScanJunkSize(Sweeper()));
    const std::vector<std::string> lines = ReadLines(sweeperLog_);
    std::string slots;
    for (const std::string& line : lines) {
        if (line.empty() || !isdigit(static_cast<unsigned char>(line[0]))) continue;
        slots += (slots.empty() ? "" : ",") + line;
    }
    EXPECT_EQ(slots, "3,26,63,30(0),63,30(0),11(1,1),59(1),20(1),63,30(0),11(105,1),59(105),20(105)");
    ASSERT_GE(lines.size(), 3u);
    const size_t factoryGone = IndexOf(lines, "factory 0", true);
    const size_t sweeperGone = IndexOf(lines, "sweeper 0", true);
    ASSERT_NE(factoryGone, std::string::npos);
    ASSERT_NE(sweeperGone, std::string::npos);
    EXPECT_EQ(lines.back(), "detach") << "unloaded after both are released";
    EXPECT_LT(std::max(factoryGone, sweeperGone), lines.size() - 1);
}

TEST_F(KernelChecksTest, AMissingLibraryOrExportEndsTheJunkCheckWithoutRetry) {
    // The stand-in kernel has no DllGetClassObject, and logs each load.
    for (const std::wstring& path : {TestDir() + L"no_such_sweeper.dll", KernelPath()}) {
        ClearLog();
        CActionTrashClean junk(env_, settings_, path);
        env_.tick += CActionTrashClean::kDelayMs + 1;
        EXPECT_FALSE(junk.CheckCondition());
        EXPECT_TRUE(junk.Done());
        const size_t loadsAfterFirst = LogLines().size();
        env_.tick += 60000;
        EXPECT_FALSE(junk.CheckCondition());
        EXPECT_EQ(LogLines().size(), loadsAfterFirst) << "no second load";
    }
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"attach", "detach"}));
}

// ---- start-up items ---------------------------------------------------------

// Enter and Leave must pair up like brackets, each Leave with its Enter's id.
class RecordingHook : public CBexDebuggerDummy {
public:
    void BEX_CALL Enter(uint32_t id) override {
        ++enters;
        open.push_back(id);
    }
    void BEX_CALL Leave(uint32_t id, uint64_t) override {
        ++leaves;
        if (open.empty() || open.back() != id) ++mismatched;
        if (!open.empty()) open.pop_back();
    }
    int enters = 0, leaves = 0, mismatched = 0;
    std::vector<uint32_t> open;
};

TEST_F(KernelChecksTest, TenItemsInStateTwoAreTooManyNineAreNot) {
    Configure(L"startup", L"items", L"10");
    for (const auto& [inState2, due] : {std::pair{9, false}, std::pair{10, true}}) {
        SCOPED_TRACE(inState2);
        ClearLog();
        Configure(L"startup", L"state2", std::to_wstring(inState2));
        CActionCheckRun check(env_, settings_, KernelPath());
        EXPECT_EQ(check.HasTooManyStartupItems(), due);
        EXPECT_EQ(KernelEntry(), nullptr) << "nothing left to call after the unload";

        const std::vector<std::string> lines = LogLines();
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[0], "attach");
        EXPECT_EQ(lines[1], "init") << "initialised before anything else";
        const size_t shutdown = IndexOf(lines, "shutdown");
        ASSERT_NE(shutdown, std::string::npos);
        EXPECT_LT(IndexOf(lines, "release 78", true), shutdown);
        EXPECT_LT(IndexOf(lines, "release item", true), shutdown);
        EXPECT_EQ(lines[shutdown + 1], "live 0") << "every object released before the shut-down";
        EXPECT_EQ(lines.back(), "detach");
    }
}

TEST_F(KernelChecksTest, EveryCallIntoAKernelObjectIsTimed) {
    Configure(L"startup", L"items", L"10");
    RecordingHook hook;
    IBexDebugger* previous = SetDebuggerHookForTesting(&hook);
    CActionCheckRun check(env_, settings_, KernelPath());
    check.HasTooManyStartupItems();
    SetDebuggerHookForTesting(previous);
    // Fill and count; per item: fetch, state, release; the list and the source released.
    EXPECT_EQ(hook.enters, 2 + 10 * 3 + 2);
    EXPECT_EQ(hook.leaves, hook.enters);
    EXPECT_EQ(hook.mismatched, 0);
}

TEST_F(KernelChecksTest, EachCheckLoadsAndFreesTheKernelAndBadAnswersCountAsNotDue) {
    Configure(L"startup", L"items", L"12");
    CActionCheckRun check(env_, settings_, KernelPath());
    EXPECT_TRUE(check.HasTooManyStartupItems());
    EXPECT_TRUE(check.HasTooManyStartupItems());
    std::vector<std::string> lines = LogLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "attach"), 2);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "detach"), 2);

    const struct {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;
    } broken[] = {
        {L"kernel", L"init", L"-2147467259"},
        {L"classes", L"78", L"null"},
        {L"classes", L"78", L"refuse"},
        {L"classes", L"4", L"null"},
    };
    for (const auto& b : broken) {
        SCOPED_TRACE(testsupport::Narrow(std::wstring(b.section) + L"." + b.key + L"=" + b.value));
        ClearConfig();
        ClearLog();
        Configure(L"startup", L"items", L"12");
        Configure(b.section, b.key, b.value);
        EXPECT_FALSE(check.HasTooManyStartupItems());
        lines = LogLines();
        EXPECT_NE(IndexOf(lines, "live 0"), std::string::npos) << "shut down with nothing left alive";
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), "detach");
    }
}

TEST_F(KernelChecksTest, TheHookIsTheKernelsWhenOneIsBound) {
    EXPECT_NE(dynamic_cast<CBexDebuggerDummy*>(InitDebuggerHook()), nullptr) << "nothing bound";
    Configure(L"kernel", L"debugger", L"record");
    ASSERT_EQ(InitKernel(KernelPath()), S_OK);
    IBexDebugger* kernelHook = InitDebuggerHook();
    kernelHook->Enter(7);
    ShutdownKernel();
    EXPECT_NE(IndexOf(LogLines(), "enter 0x00000007"), std::string::npos);
}

// A kernel made by hand whose list can lie: slot 3 fills (source) or
// appends (list), 4 counts, 6 gives an item, 9 answers an item's state.
struct HandObject : IBexPlugin {
    uint32_t BEX_CALL GetClassId() override { return 0; }
    LONG BEX_CALL AddRef() override { return ++refs; }
    LONG BEX_CALL Release() override { return --refs; }
    virtual int BEX_CALL Slot3(IBexPlugin*) { return 0; }
    virtual int BEX_CALL Slot4() { return count; }
    virtual int BEX_CALL Slot5() { return 0; }
    virtual int BEX_CALL Slot6(int index, IBexPlugin** item);
    virtual int BEX_CALL Slot7() { return 0; }
    virtual int BEX_CALL Slot8() { return 0; }
    virtual int BEX_CALL Slot9() { return 2; }
    LONG refs = 0;
    int count = 0;
    int lastItem = INT_MAX;  // slot 6 fails past it
    bool nullItems = false;
    int itemCalls = 0;
};
HandObject g_handList, g_handSource, g_handItem;

int BEX_CALL HandObject::Slot6(int index, IBexPlugin** item) {
    ++itemCalls;
    if (index > lastItem) return -1;
    *item = nullItems ? nullptr : &g_handItem;
    if (*item) (*item)->AddRef();
    return 0;
}

protocol::BexResult BEX_CALL HandEntry(int code, void* arg) {
    HandObject* made = code == 4 ? &g_handList : code == 78 ? &g_handSource : nullptr;
    if (!made) return E_FAIL;
    made->AddRef();
    *static_cast<IBexPlugin**>(arg) = made;
    return S_OK;
}

TEST(StartupItemsCountTest, ALyingListIsReadOnlyAsFarAsItHoldsUp) {
    const struct {
        int count, lastItem;
        bool nullItems;
        int counted, itemCalls;
    } cases[] = {
        {-3, INT_MAX, false, 0, 0},
        {1000000000, INT_MAX, false, kMaxStartupItems, kMaxStartupItems},
        {20, 4, false, 5, 6},
        {20, INT_MAX, true, 0, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        g_handList = HandObject();
        g_handList.count = c.count;
        g_handList.lastItem = c.lastItem;
        g_handList.nullItems = c.nullItems;
        g_handSource.refs = g_handItem.refs = 0;
        EXPECT_EQ(CountStartupItemsInState2(&HandEntry), c.counted);
        EXPECT_EQ(g_handList.itemCalls, c.itemCalls);
        EXPECT_EQ(g_handList.refs + g_handSource.refs + g_handItem.refs, 0) << "every reference given back";
    }
}

// ---- binding from the App Paths value ------------------------------------

class AppPathsTest : public KernelChecksTest {
protected:
    void Store(DWORD type, const std::wstring& text) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppPathsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                    nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }
    // "<root>\Pellor\bexkernl.dll", a copy of the stand-in.
    std::wstring PlantKernel(const std::wstring& root) {
        ::CreateDirectoryW(root.c_str(), nullptr);
        ::CreateDirectoryW((root + L"\\Pellor").c_str(), nullptr);
        const std::wstring path = root + L"\\Pellor\\bexkernl.dll";
        ::CopyFileW(KernelPath().c_str(), path.c_str(), FALSE);
        return path;
    }
    testsupport::RegValueBackup backup_{HKEY_LOCAL_MACHINE, kAppPathsKey, L""};
};

TEST_F(AppPathsTest, TheValueIsExpandedAndTheKernelFoundBesideTheProduct) {
    Store(REG_EXPAND_SZ, L"%SystemDrive%\\Tarvisk\\Tarvisk.exe");
    wchar_t drive[16] = {};
    ::GetEnvironmentVariableW(L"SystemDrive", drive, 16);
    std::wstring path;
    ASSERT_TRUE(KernelPathFromAppPaths(path));
    EXPECT_EQ(path, std::wstring(drive) + L"\\Tarvisk\\Pellor\\bexkernl.dll");

    const std::wstring root = WorkDir() + L"product";
    PlantKernel(root);
    SetEnv(L"CORVALLE_TEST_ROOT", root);
    Store(REG_EXPAND_SZ, L"%CORVALLE_TEST_ROOT%\\Tarvisk.exe");
    EXPECT_EQ(InitKernel(), S_OK);
    EXPECT_NE(KernelEntry(), nullptr);
    ShutdownKernel();
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"attach", "init", "shutdown", "live 0", "detach"}));
}

TEST_F(AppPathsTest, AValueThatGivesNoAbsoluteFolderLoadsNothing) {
    // A relative load could find this planted copy through the search path.
    PlantKernel(WorkDir().substr(0, WorkDir().size() - 1));
    for (const wchar_t* value : {L"Tarvisk.exe", L"sub\\Tarvisk.exe", L"%NO_SUCH_VARIABLE%\\Tarvisk.exe"}) {
        SCOPED_TRACE(testsupport::Narrow(value));
        Store(REG_SZ, value);
        EXPECT_EQ(InitKernel(), E_FAIL);
        EXPECT_EQ(KernelEntry(), nullptr);
    }
    CActionCheckRun check(env_, settings_);  // the registered place
    env_.tick += CActionCheckRun::kDelayMs + 1;
    EXPECT_FALSE(check.CheckCondition());
    EXPECT_TRUE(check.Done());
    EXPECT_TRUE(LogLines().empty()) << "nothing loaded";
}

}  // namespace
