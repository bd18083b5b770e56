#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

#include "settings/app/FrmOption.h"
#include "settings/app/StartUp.h"

using namespace settings;

namespace {

struct PageCase {
    const wchar_t* argument;
    OptionPage page;
    bool uninstall;
};

TEST(ParsePageTest, OneWordAnyCaseWithTheFirstSlashDashAndBackslashRemoved) {
    const PageCase cases[] = {
        {L"eye", kPageHealth, false},          {L"EYE", kPageHealth, false},
        {L"Eye", kPageHealth, false},          {L"-eye", kPageHealth, false},
        {L"/eye", kPageHealth, false},         {L"\\eye", kPageHealth, false},
        {L"/-\\eye", kPageHealth, false},      {L"e-ye", kPageHealth, false},  // the first "-" wherever it stands
        {L"--eye", kPageNone, false},          {L"//eye", kPageNone, false},
        {L"general", kPageGeneral, false},     {L"GENERAL", kPageGeneral, false},
        {L"timealert", kPageTimerAlertList, false}, {L"timeshutdown", kPageShutDownList, false},
        {L"init", kPageInit, false},           {L"/INIT", kPageInit, false},
        {L"uninstall", kPageHealth, true},     {L"-Uninstall", kPageHealth, true},
        {L"", kPageNone, false},               {L"eyes", kPageNone, false},
        {L"eye general", kPageNone, false},    {L"autorun", kPageNone, false},
    };
    for (const PageCase& c : cases) {
        OptionPage page = kPageGeneral;
        bool uninstall = true;
        ParsePage(c.argument, page, uninstall);
        EXPECT_EQ(page, c.page) << testing::PrintToString(std::wstring(c.argument));
        EXPECT_EQ(uninstall, c.uninstall) << testing::PrintToString(std::wstring(c.argument));
    }
}

TEST(FirstArgumentTest, OnlyTheFirstArgumentCounts) {
    EXPECT_EQ(FirstArgument(L"\"C:\\Program Files\\Mirelo.exe\" general eye"), L"general");
    EXPECT_EQ(FirstArgument(L"Mirelo.exe \"time alert\""), L"time alert");
    EXPECT_EQ(FirstArgument(L"Mirelo.exe"), L"");
    EXPECT_EQ(FirstArgument(L""), L"");
    EXPECT_EQ(FirstArgument(nullptr), L"");
}

TEST(ShowPageMatchTest, APageRaisesOnlyItsOwnGroup) {
    // requested page x own page -> raised
    const bool expected[8][6] = {
        {true, false, false, false, false, false},   // 0 general
        {false, true, true, false, false, false},    // 1 reminders: list or editor
        {false, false, false, false, false, false},  // 2 is never asked for
        {false, false, false, true, true, false},    // 3 shutdowns: list or editor
        {false, false, false, false, false, false},
        {false, false, false, false, false, true},   // 5 health
        {false, false, false, false, false, false},
        {false, false, false, false, false, false},
    };
    for (int requested = 0; requested < 8; ++requested)
        for (int own = 0; own < 6; ++own)
            EXPECT_EQ(ShowPageMatches(requested, static_cast<OptionPage>(own)), expected[requested][own])
                << "requested " << requested << " own " << own;
}

// A settings window whose thread is busy: the second copy waits for it a
// few seconds at most.
TEST(ActivateRunningInstanceTest, AHungFirstCopyDoesNotHangTheSecond) {
    const wchar_t kClass[] = L"TFormCorvalleOption";
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    ::RegisterClassW(&wc);
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE created = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND hung = nullptr;
    std::thread first([&] {
        // Message-only: the settings windows of other tests' programs, which
        // are counted on the desktop, are not joined by this one.
        hung = ::CreateWindowW(kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        ::SetEvent(created);
        ::WaitForSingleObject(release, 20000);  // answers nothing meanwhile
        ::DestroyWindow(hung);
    });
    ASSERT_EQ(::WaitForSingleObject(created, 5000), WAIT_OBJECT_0);
    ASSERT_NE(hung, nullptr);
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(ActivateRunningInstance(hung, kPageGeneral)) << "no further window is tried";
    const DWORD waited = ::GetTickCount() - start;
    EXPECT_GE(waited + 100, kShowPageTimeoutMs);
    EXPECT_LT(waited, kShowPageTimeoutMs + 2000);
    ::SetEvent(release);
    first.join();
    ::CloseHandle(release);
    ::CloseHandle(created);
    ::UnregisterClassW(kClass, wc.hInstance);
}

}  // namespace
