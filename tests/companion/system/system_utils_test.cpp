#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <thread>
#include <vector>

#include "companion/system/disk_cpu.h"
#include "companion/system/paths.h"
#include "companion/system/power.h"
#include "companion/system/screen.h"
#include "companion/system/shared_settings.h"
#include "companion/system/player_process.h"
#include "tests/companion/prefix_state.h"
#include "tests/support/message_pump.h"
#include "tests/support/recording_power.h"
#include "base/handles.h"

using namespace companion;

namespace {

constexpr uint64_t kMiB = 1024ull * 1024;
constexpr uint64_t kGiB = 1024 * kMiB;

std::wstring TempDir() {
    std::wstring dir;
    EXPECT_TRUE(GetTempDir(dir));
    return dir;
}

TEST(TempDirTest, EndsInABackslashAndExists) {
    const std::wstring dir = TempDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), L'\\');
    EXPECT_EQ(GetPathType(dir.c_str()), 2);
}

TEST(DirectoryTreeTest, CreatesEveryMissingLevel) {
    const std::wstring root = TempDir() + L"tree-test";
    const std::wstring deep = root + L"\\a\\b\\c";
    ::RemoveDirectoryW(deep.c_str());
    ASSERT_TRUE(CreateDirectoryTree(deep.c_str()));
    EXPECT_EQ(GetPathType(deep.c_str()), 2);
    EXPECT_TRUE(CreateDirectoryTree(deep.c_str())) << "existing folders are fine";
    EXPECT_TRUE(CreateDirectoryTree(L"C:/corvalle-tree-test/x/y")) << "forward slashes when there is no backslash";
    EXPECT_EQ(GetPathType(L"C:\\corvalle-tree-test\\x\\y"), 2);
    ::RemoveDirectoryW(L"C:\\corvalle-tree-test\\x\\y");
    ::RemoveDirectoryW(L"C:\\corvalle-tree-test\\x");
    ::RemoveDirectoryW(L"C:\\corvalle-tree-test");
}

TEST(DirectoryTreeTest, RefusesNullPathsPathsWithoutSeparatorAndBlockedLevels) {
    EXPECT_FALSE(CreateDirectoryTree(nullptr));
    EXPECT_FALSE(CreateDirectoryTree(L"nofolderseparator"));
    const std::wstring file = TempDir() + L"tree-test-file";
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
    EXPECT_FALSE(CreateDirectoryTree((file + L"\\below").c_str())) << "a file stands where a folder must go";
    ::DeleteFileW(file.c_str());
}

TEST(ActionFileTest, ReadsTheUnpackedSkinsActionFile) {
    std::wstring appData;
    ASSERT_TRUE(GetAppDataDir(appData));
    const std::wstring file = ActionFilePath();
    EXPECT_EQ(file, appData + L"tarvisk\\vyn\\halvet\\Actions.ini");
    testsupport::FileBackup backup(file);
    ASSERT_TRUE(CreateDirectoryTree((appData + L"tarvisk\\vyn\\halvet").c_str()));
    ASSERT_TRUE(::WritePrivateProfileStringW(L"VynRest", L"tiptext", L"休息一下|站起来走走", file.c_str()));

    std::wstring value;
    EXPECT_EQ(ReadActionString(value, L"VynRest", L"tiptext"), 0);
    EXPECT_EQ(value, L"休息一下|站起来走走");
    EXPECT_EQ(ReadActionString(value, L"VynRest", L"nothing"), -2);
    EXPECT_EQ(ReadActionString(value, nullptr, L"tiptext"), -1);
}

struct DiskCase {
    uint64_t freeBytes, totalBytes, memory;
    bool memoryKnown;
    int remind;
    const wchar_t* messageStart;
};

TEST(DiskDecisionTest, FollowsTheFreeSpaceAndMemoryRules) {
    const DiskCase cases[] = {
        {900 * kMiB, 500 * kGiB, 4 * kGiB, true, 1, L"检测到您的系统盘可用空间小于1GB"},
        {900 * kMiB, 1 * kGiB, 4 * kGiB, false, 1, L"检测到您的系统盘可用空间小于1GB"},
        {2 * kGiB, 500 * kGiB, 4 * kGiB, true, 1, L"检测到您的系统盘可用空间不足"},
        {2 * kGiB, 10 * kGiB, 4 * kGiB, true, 0, L"系统盘剩余空间充足."},  // 20 % free
        {2 * kGiB, 500 * kGiB, 1 * kGiB, true, 0, L"系统盘剩余空间充足."},  // more free than memory
        {2 * kGiB, 500 * kGiB, 4 * kGiB, false, 0, L"系统盘剩余空间充足."},
        {4 * kGiB, 500 * kGiB, 16 * kGiB, true, 0, L"系统盘剩余空间充足."},
        {1 * kGiB, 500 * kGiB, 4 * kGiB, true, 1, L"检测到您的系统盘可用空间不足"},
        {5 * kGiB, 0, 4 * kGiB, true, 0, L"错误:获取系统盘空间信息失败."},
    };
    for (const DiskCase& c : cases) {
        const DiskDecision d = DecideDiskReminder(c.freeBytes, c.totalBytes, c.memory, c.memoryKnown);
        EXPECT_EQ(d.remind, c.remind) << c.freeBytes / kMiB << " MiB of " << c.totalBytes / kMiB;
        EXPECT_EQ(d.message.rfind(c.messageStart, 0), 0u) << testsupport::Narrow(d.message);
    }
}

TEST(DiskDecisionTest, TheRealSystemDiskGivesAnAnswer) {
    uint64_t freeBytes = 1;
    std::wstring message;
    const int remind = CheckSystemDiskSpace(freeBytes, message);
    EXPECT_TRUE(remind == 0 || remind == 1);
    EXPECT_FALSE(message.empty());
}

TEST(IdleShareTest, IsIdleOverKernelPlusUser) {
    EXPECT_EQ(IdlePercent(50, 80, 20), 50);
    EXPECT_EQ(IdlePercent(0, 50, 50), 0);
    EXPECT_EQ(IdlePercent(100, 100, 0), 100);
    EXPECT_EQ(IdlePercent(0, 0, 0), 100) << "no time passed counts as idle";
    EXPECT_EQ(IdlePercent(200, 100, 0), 100) << "never above 100";
    const int real = GetCpuIdlePercent();
    EXPECT_GE(real, 0);
    EXPECT_LE(real, 100);
}

class ShutdownTest : public ::testing::Test {
protected:
    void SetUp() override { SetPowerControl(&power_); }
    void TearDown() override { SetPowerControl(nullptr); }
    testsupport::RecordingPower power_;
};

TEST_F(ShutdownTest, EachTypeMapsToItsSystemCall) {
    const struct {
        bool force;
        int type;
        const wchar_t* call;
    } cases[] = {
        {false, 0, L"exit 2 2147614720"},  {true, 0, L"exit 6 2147614720"},
        {false, 1, L"exit 8 2147614720"},  {true, 1, L"exit 12 2147614720"},
        {false, 2, L"exit 0 2147614720"},  {true, 2, L"exit 0 2147614720"},
        {false, 3, L"suspend 010"},        {true, 3, L"suspend 010"},
    };
    for (const auto& c : cases) {
        power_.calls.clear();
        EXPECT_TRUE(SystemShutdown(c.force, c.type));
        ASSERT_EQ(power_.calls.size(), 1u) << "type " << c.type;
        EXPECT_EQ(power_.calls[0], c.call) << "type " << c.type << " force " << c.force;
    }
}

TEST_F(ShutdownTest, UnknownTypesSucceedWithoutDoingAnything) {
    EXPECT_TRUE(SystemShutdown(true, 4));
    EXPECT_TRUE(SystemShutdown(false, -1));
    EXPECT_TRUE(power_.calls.empty());
}

TEST_F(ShutdownTest, WithoutThePrivilegeNothingHappens) {
    power_.privilege = false;
    EXPECT_FALSE(SystemShutdown(true, 1));
    EXPECT_TRUE(power_.calls.empty());
}

TEST(FullScreenTest, APlainDesktopIsNotFullScreen) {
    EXPECT_FALSE(IsFullScreenAppRunning());
}

TEST(FullScreenTest, AWindowOverTheWholeScreenIs) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FullScreenTestWindow";
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                  ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
                                  nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);
    testsupport::PumpUntil([] { return IsFullScreenAppRunning(); });
    EXPECT_TRUE(IsFullScreenAppRunning());
    ::DestroyWindow(hwnd);
    EXPECT_FALSE(IsFullScreenAppRunning());
}

// A stand-in of the security product's monitor window on its own thread. It
// answers the quiet question with `answer`, or stops pumping when `hang`.
class MonitorWindow {
public:
    MonitorWindow(LRESULT answer, bool hang) : answer_(answer), hang_(hang) {
        ready_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        quit_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this] { Body(); });
        ::WaitForSingleObject(ready_, 5000);
    }
    ~MonitorWindow() {
        ::SetEvent(quit_);
        if (hwnd_) ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        thread_.join();
        ::CloseHandle(ready_);
        ::CloseHandle(quit_);
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<MonitorWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == 0x905 && self) return wParam == 24 ? self->answer_ : 0;
        if (msg == WM_CLOSE) {
            ::DestroyWindow(hwnd);
            return 0;
        }
        if (msg == WM_DESTROY) ::PostQuitMessage(0);
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    void Body() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QTarviskMonClass";
        ::RegisterClassW(&wc);
        hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance,
                                  nullptr);
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::SetEvent(ready_);
        if (hang_) {
            ::WaitForSingleObject(quit_, INFINITE);
            ::DestroyWindow(hwnd_);
            return;
        }
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    }

    LRESULT answer_;
    bool hang_;
    HANDLE ready_;
    HANDLE quit_;
    HWND hwnd_ = nullptr;
    std::thread thread_;
};

TEST(MonitorTest, OnlyAnAnswerOfExactlyOneAsksForQuiet) {
    EXPECT_FALSE(IsMonitorActive()) << "no monitor window";
    {
        MonitorWindow monitor(1, false);
        EXPECT_TRUE(IsMonitorActive());
    }
    {
        MonitorWindow monitor(2, false);
        EXPECT_FALSE(IsMonitorActive());
    }
    {
        MonitorWindow monitor(0, false);
        EXPECT_FALSE(IsMonitorActive());
    }
}

TEST(MonitorTest, AHungMonitorDoesNotHoldTheCallerLong) {
    MonitorWindow monitor(1, true);
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(IsMonitorActive());
    EXPECT_LT(::GetTickCount() - start, 4000u);
}

TEST(ClampTest, PointsOnAMonitorStayAndOthersComeBackToTheWorkArea) {
    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(ClampToMonitor(100, 100), 100);
    EXPECT_EQ(ClampToMonitor(work.right + 5000, 100), work.right);
    EXPECT_EQ(ClampToMonitor(work.left - 5000, 100), work.left);
}

class SoundHelperTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GetExeDir(dir_));
        player_ = dir_ + L"Piravel.exe";
        ASSERT_TRUE(::CopyFileW((dir_ + L"recording_program.exe").c_str(), player_.c_str(), FALSE));
        ::DeleteFileW((player_ + L".calls").c_str());
    }
    void TearDown() override {
        StopSoundHelper();
        ::SetEnvironmentVariableW(L"RECORDING_PROGRAM_WAIT_MS", nullptr);
        ::Sleep(200);
        ::DeleteFileW(player_.c_str());
        ::DeleteFileW((player_ + L".calls").c_str());
    }
    // A player that another program started.
    base::Process StartOthersPlayer() {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION other{};
        std::wstring line = L"\"" + player_ + L"\" other.wav";
        EXPECT_TRUE(::CreateProcessW(player_.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                     &startup, &other));
        ::CloseHandle(other.hThread);
        return base::Process(other.hProcess);
    }
    std::wstring dir_;
    std::wstring player_;
};

TEST_F(SoundHelperTest, ThePlayerGetsThePathAsItsWholeParameterAndCanBeStopped) {
    EXPECT_EQ(FindSoundHelperProcess(), 0u);
    EXPECT_FALSE(StopSoundHelper());

    ::SetEnvironmentVariableW(L"RECORDING_PROGRAM_WAIT_MS", L"20000");
    PlaySoundFile(L"C:\\My Sounds\\Ring.wav");
    DWORD id = 0;
    testsupport::WaitUntil([&] { return (id = FindSoundHelperProcess()) != 0; });
    ASSERT_NE(id, 0u);
    // Let the stand-in write down what it was given before it is ended.
    testsupport::WaitUntil([&] { return testsupport::FileExists(player_ + L".calls"); });
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, id);
    ASSERT_NE(process, nullptr);
    EXPECT_TRUE(StopSoundHelper());
    EXPECT_EQ(::WaitForSingleObject(process, 5000), WAIT_OBJECT_0);
    ::CloseHandle(process);
    EXPECT_EQ(FindSoundHelperProcess(), 0u);

    FILE* f = ::_wfopen((player_ + L".calls").c_str(), L"r");
    ASSERT_NE(f, nullptr);
    char line[512] = {};
    ASSERT_NE(std::fgets(line, sizeof(line), f), nullptr);
    std::fclose(f);
    EXPECT_EQ(std::string(line).substr(0, 21), "C:\\My Sounds\\Ring.wav");
}

int CountPlayers() {
    base::FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    int n = 0;
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry))
        n += ::_wcsicmp(entry.szExeFile, L"Piravel.exe") == 0;
    return n;
}

TEST_F(SoundHelperTest, StoppingEndsTheOwnPlayerNotAnotherProgramsPlayer) {
    ::SetEnvironmentVariableW(L"RECORDING_PROGRAM_WAIT_MS", L"20000");
    // Someone else's player, running before ours.
    base::Process otherProcess = StartOthersPlayer();
    ASSERT_TRUE(otherProcess.Valid());
    PlaySoundFile(L"C:\\My Sounds\\Ring.wav");
    testsupport::WaitUntil([&] { return CountPlayers() >= 2; });
    ASSERT_EQ(CountPlayers(), 2);

    EXPECT_TRUE(StopSoundHelper());
    testsupport::WaitUntil([&] { return CountPlayers() <= 1; });
    EXPECT_EQ(CountPlayers(), 1);
    EXPECT_EQ(::WaitForSingleObject(otherProcess.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the other program's player still plays";
    ::TerminateProcess(otherProcess.Get(), 0);
    ::WaitForSingleObject(otherProcess.Get(), 5000);
}

// A reminder ends while this copy has no player of its own (the ring is off):
// another program's player plays on, also when it has the id a previous copy
// recorded but was created at another time (the id was given again); the one
// a previous copy recorded stops.
TEST_F(SoundHelperTest, WithoutAnOwnPlayerOnlyARecordedOneIsStopped) {
    ::SetEnvironmentVariableW(L"RECORDING_PROGRAM_WAIT_MS", L"20000");
    StopSoundHelper();  // nothing of this copy's or a previous one's is left
    struct Case {
        bool recorded;
        unsigned long long stampShift;
        const char* what;
    };
    const Case cases[] = {{false, 0, "the other program's player plays on"},
                          {true, 1, "a player that only has the recorded id plays on"},
                          {true, 0, "the previous copy's player is stopped"}};
    for (const Case& c : cases) {
        const bool recorded = c.recorded && c.stampShift == 0;
        base::Process other = StartOthersPlayer();
        ASSERT_TRUE(other.Valid());
        FILETIME created{}, unused{};
        ASSERT_TRUE(::GetProcessTimes(other.Get(), &created, &unused, &unused, &unused));
        if (c.recorded) {
            const auto stamp = (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
            WriteConfigString(L"vynplayer", L"pid", std::to_wstring(::GetProcessId(other.Get())).c_str());
            WriteConfigString(L"vynplayer", L"created", std::to_wstring(stamp + c.stampShift).c_str());
        }
        EXPECT_EQ(StopSoundHelper(), recorded) << c.what;
        EXPECT_EQ(::WaitForSingleObject(other.Get(), recorded ? 5000 : 300),
                  static_cast<DWORD>(recorded ? WAIT_OBJECT_0 : WAIT_TIMEOUT))
            << c.what;
        ::TerminateProcess(other.Get(), 0);
        ::WaitForSingleObject(other.Get(), 5000);
    }
}

}  // namespace
