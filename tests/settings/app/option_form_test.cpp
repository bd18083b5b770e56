#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "settings/app/FrmOption.h"
#include "settings/app/StartUp.h"
#include "settings/model/GlobalFuncs.h"
#include "tests/settings/option_form_fixture.h"
#include "tests/settings/test_support.h"

using namespace settings;

using settingstest::At;
using settingstest::Encoding;
using settingstest::Pump;

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// What the general page's "确定" does with the values the window holds:
// saved, the window closes; failed, the user is told and it stays.
void GeneralOkClick(TFormCorvalleOption& form) {
    if (form.GuardSave(form.SaveGeneralSettings())) form.Close();
}

std::wstring Text(const std::string& bytes) {
    // Copies of the file are ANSI (code page 936) in these tests.
    return testsupport::Widen(bytes, 936);
}

bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

// Run on a window's thread by a message hook: how COM finds that thread.
std::atomic<HRESULT> g_apartment{E_PENDING};
LRESULT CALLBACK ProbeApartment(int code, WPARAM wParam, LPARAM lParam) {
    const HRESULT entered = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(entered)) ::CoUninitialize();
    g_apartment = entered;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Lets everyone read the Run key and nobody write it, and puts its own
// access list back afterwards through the handle it opened before.
class ReadOnlyRunKey {
public:
    ReadOnlyRunKey() {
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, READ_CONTROL | WRITE_DAC, &key_) != ERROR_SUCCESS) return;
        DWORD size = 0;
        ::RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
        saved_.resize(size);
        if (size == 0 || ::RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS)
            return;
        PSECURITY_DESCRIPTOR readOnly = nullptr;
        if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly,
                                                                    nullptr))
            return;
        applied_ = ::RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, readOnly) == ERROR_SUCCESS;
        ::LocalFree(readOnly);
    }
    ~ReadOnlyRunKey() {
        if (applied_) ::RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data());
        if (key_) ::RegCloseKey(key_);
    }
    bool Applied() const { return applied_; }
    ReadOnlyRunKey(const ReadOnlyRunKey&) = delete;
    ReadOnlyRunKey& operator=(const ReadOnlyRunKey&) = delete;

private:
    HKEY key_ = nullptr;
    std::vector<BYTE> saved_;
    bool applied_ = false;
};

// Each test starts with its own Corvalle.ini (or none), a stand-in for
// Corvalle's window and the Run value as it was, and puts all of it back.
class OptionFormTest : public settingstest::OptionFormFixture {
protected:
    void SaveState() override { runBackup_.emplace(HKEY_CURRENT_USER, kRunKey, L"Corvalle"); }
    void RestoreState() override { runBackup_.reset(); }

    TFormCorvalleOption& Open(OptionPage page, bool uninstall = false, std::function<bool()> restore = nullptr) {
        TFormCorvalleOption::Hooks hooks;
        hooks.Terminate = [this] { ++terminated_; };
        hooks.RestoreSavedMode = std::move(restore);
        form_ = std::make_unique<TFormCorvalleOption>(page, uninstall, hooks);
        EXPECT_TRUE(form_->CreateForm(nullptr));
        Pump(30);
        return *form_;
    }

    void ReplaceFileByFolder() {
        settingstest::RemovePath(path_);
        ASSERT_TRUE(::CreateDirectoryW(path_.c_str(), nullptr));
    }

    std::optional<settingstest::RegValueBackup> runBackup_;
};

TEST_F(OptionFormTest, TheFrameIsFoundByClassWithTitleSizeAndRegion) {
    struct Case {
        OptionPage page;
        const wchar_t* title;
        LONG width, height;
    };
    const Case cases[] = {{kPageGeneral, L"ZubVynmar设置 - 设置", 320, 365},
                          {kPageTimerAlertList, L"ZubVynmar设置 - 定时提醒", 320, 365},
                          {kPageShutDownList, L"ZubVynmar设置 - 定时关机", 320, 365},
                          {kPageHealth, L"ZubVynmar设置 - 健康护士", 620, 420}};
    for (const Case& c : cases) {
        TFormCorvalleOption& form = Open(c.page);
        EXPECT_EQ(::FindWindowW(L"TFormCorvalleOption", nullptr), form.Hwnd());
        wchar_t title[64] = {};
        ::GetWindowTextW(form.Hwnd(), title, 64);
        EXPECT_STREQ(title, c.title);
        const RECT client = form.ClientRect();
        EXPECT_EQ(client.right, c.width);
        EXPECT_EQ(client.bottom, c.height);
        HRGN region = ::CreateRectRgn(0, 0, 0, 0);
        EXPECT_NE(::GetWindowRgn(form.Hwnd(), region), ERROR);
        EXPECT_FALSE(::PtInRegion(region, 1, 1));
        ::DeleteObject(region);
        ASSERT_NE(form.CloseButton(), nullptr);
        EXPECT_EQ(form.CloseButton()->Bounds().left, c.width - 40);
        EXPECT_EQ(form.CloseButton()->Hint(), L"关闭");
        form_.reset();
    }
    EXPECT_EQ(terminated_, 0);
}

TEST_F(OptionFormTest, OpeningRewritesTheShutDownsAndPostsOnceTheFileIsWritten) {
    settingstest::FixedClock clock(At(2013, 7, 15, 12, 0, 0));
    Fixture({L"[vyn]", L"TimeShutDownCount=1", L"TimerAlertCount=1", L"[vynShutDown]", L"ShutDownAlertTime=21:30",
             L"ShutDownAlertRepeat=1", L"ShutDownStyle=2", L"[vynShutDown1]", L"ShutDownAlertTime=22:00",
             L"ShutDownAlertRepeat=0", L"LastSetDate=20130714", L"State=1", L"[TimerAlert1]",
             L"TimerAlertTime=08:00", L"TimerAlertRepeat=1", L"TimerAlertContent=喝水"});
    TFormCorvalleOption& form = Open(kPageShutDownList);
    ASSERT_EQ(standIn_->Numbers(), std::vector<UINT>{protocol::WM_SETTINGS_CHANGED});
    const std::wstring atPost = Text(standIn_->messages[0].fileBytes);
    EXPECT_TRUE(Contains(atPost, L"TimeShutDownCount=2")) << atPost;
    EXPECT_TRUE(Contains(atPost, L"[vynShutDown2]")) << atPost;
    EXPECT_FALSE(Contains(atPost, L"[vynShutDown]")) << "the older section is gone before the post";
    ASSERT_EQ(form.ShutDowns.size(), 2u);
    EXPECT_EQ(form.ShutDowns[0].Style, 2);
    EXPECT_EQ(form.ShutDowns[1].State, -1);  // passed: stored as expired
    EXPECT_EQ(Get(L"vynShutDown2", L"State"), L"-1");
    ASSERT_EQ(form.TimerAlerts.size(), 1u);
    EXPECT_EQ(form.TimerAlerts[0].Content, L"喝水");
    EXPECT_EQ(form.Rest.Interval, 120);
}

TEST_F(OptionFormTest, AnUnreadableFileEndsTheProgramAfterTellingTheUser) {
    ReplaceFileByFolder();
    settingstest::MessageBoxWatcher watcher;
    Open(kPageGeneral);
    EXPECT_EQ(watcher.Seen(), std::vector<std::wstring>{L"提示|加载配置时出错，文件可能被占用！"});
    EXPECT_EQ(terminated_, 1);
}

TEST_F(OptionFormTest, AFailedRewriteIsRetriedFromTheListsInMemory) {
    settingstest::FixedClock clock(At(2013, 7, 15, 12, 0, 0));
    Fixture({L"[vyn]", L"TimeShutDownCount=1", L"[vynShutDown]", L"ShutDownAlertTime=21:30", L"ShutDownAlertRepeat=1",
             L"[vynShutDown1]", L"ShutDownAlertTime=22:00", L"ShutDownAlertRepeat=1", L"State=1"});
    TFormCorvalleOption& form = Open(kPageShutDownList);
    form.ShutDowns.push_back(form.ShutDowns[0]);
    form.ShutDowns.back().Time = L"23:45";
    ReplaceFileByFolder();
    standIn_->messages.clear();
    EXPECT_FALSE(form.RewriteShutDownList());
    settingstest::PumpUntil([&] { return !standIn_->messages.empty(); });
    EXPECT_EQ(standIn_->Numbers(), std::vector<UINT>{protocol::WM_SETTINGS_CHANGED}) << "posted even after a failure";
    // Whatever half-written state the file is in, the retry writes the lists.
    settingstest::RemovePath(path_);
    Fixture({L"[vyn]", L"TimeShutDownCount=1", L"[vynShutDown1]", L"ShutDownAlertTime=01:00"});
    EXPECT_TRUE(form.RewriteShutDownList());
    EXPECT_EQ(Get(L"vyn", L"TimeShutDownCount"), L"3");
    EXPECT_EQ(Get(L"vynShutDown1", L"ShutDownAlertTime"), L"21:30");
    EXPECT_EQ(Get(L"vynShutDown3", L"ShutDownAlertTime"), L"23:45");
    // Loading again starts from fresh lists.
    EXPECT_TRUE(form.LoadSettings());
    EXPECT_EQ(form.ShutDowns.size(), 3u);
}

struct GeneralCase {
    bool autorun, wise, ring;
    std::vector<WPARAM> codes;
};

TEST_F(OptionFormTest, GeneralSaveSendsACodePerChangedBoxThenTheChange) {
    Fixture({L"[vyn]", L"WiseHealthAlert=1", L"UseWiseAlertRing=0"});
    const std::vector<GeneralCase> cases = {
        {false, true, false, {}},
        {true, true, false, {13}},
        {true, false, true, {15 + 1, 17}},
        {false, true, false, {14, 15, 18}},
        {false, true, false, {}},
    };
    TFormCorvalleOption& form = Open(kPageGeneral);
    ASSERT_FALSE(form.Autorun);
    for (const GeneralCase& c : cases) {
        standIn_->messages.clear();
        form.Autorun = c.autorun;
        form.General.WiseHealthAlert = c.wise;
        form.General.UseWiseAlertRing = c.ring;
        form.General.CityCode = L"101280101";
        ASSERT_TRUE(form.SaveGeneralSettings());
        Pump(30);
        EXPECT_EQ(standIn_->Codes(), c.codes);
        ASSERT_FALSE(standIn_->messages.empty());
        EXPECT_EQ(standIn_->messages.back().msg, static_cast<UINT>(protocol::WM_SETTINGS_CHANGED));
        // Every message comes after the writes it announces.
        for (const auto& m : standIn_->messages) {
            const std::wstring file = Text(m.fileBytes);
            EXPECT_TRUE(Contains(file, std::wstring(L"WiseHealthAlert=") + (c.wise ? L"1" : L"0"))) << file;
            EXPECT_TRUE(Contains(file, L"CityCode=101280101")) << file;
        }
        std::wstring run;
        EXPECT_EQ(settingstest::ReadRegText(HKEY_CURRENT_USER, kRunKey, L"Corvalle", run), c.autorun);
        if (c.autorun) {
            EXPECT_EQ(run, L"\"" + ExeFolder() + L"Corvalle.exe\" autorun");
        }
    }
}

TEST_F(OptionFormTest, TheRunValueIsReadInEitherFormAndRewrittenToOurs) {
    struct Case {
        std::wstring value;  // empty: none
        bool ticked;
        std::wstring after;
    };
    const std::wstring ours = L"\"" + ExeFolder() + L"Corvalle.exe\" autorun";
    const std::wstring corvalles = L"\"" + ExeFolder() + L"Corvalle.exe\"";
    std::wstring upper = corvalles;
    ::CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
    const Case cases[] = {{corvalles, true, ours}, {upper, true, ours}, {ours, true, ours},
                          {L"\"C:\\elsewhere\\Corvalle.exe\"", false, L"\"C:\\elsewhere\\Corvalle.exe\""}};
    Fixture({L"[vyn]", L"x=1"});
    for (const Case& c : cases) {
        ASSERT_TRUE(settingstest::WriteRegText(HKEY_CURRENT_USER, kRunKey, L"Corvalle", c.value));
        TFormCorvalleOption& form = Open(kPageGeneral);
        EXPECT_EQ(form.Autorun, c.ticked) << testing::PrintToString(c.value);
        std::wstring now;
        ASSERT_TRUE(settingstest::ReadRegText(HKEY_CURRENT_USER, kRunKey, L"Corvalle", now));
        EXPECT_EQ(now, c.after);
        form_.reset();
    }
}

TEST_F(OptionFormTest, RestWritesAnnounceThemselvesAfterwards) {
    Fixture({L"[eye]", L"run=0"});
    TFormCorvalleOption& form = Open(kPageHealth);
    standIn_->messages.clear();
    ASSERT_TRUE(form.WriteRestRun(true));
    ASSERT_TRUE(form.SaveRestSettings(60, 10));
    settingstest::PumpUntil([&] { return standIn_->messages.size() >= 3; });
    ASSERT_EQ(standIn_->Numbers(), (std::vector<UINT>{protocol::WM_REST_SETTINGS_CHANGED, protocol::WM_REPORT_SETTINGS_EVENT,
                                                      protocol::WM_REST_SETTINGS_CHANGED}));
    EXPECT_TRUE(Contains(Text(standIn_->messages[0].fileBytes), L"run=1"));
    EXPECT_EQ(standIn_->messages[1].wParam, 6u);
    EXPECT_TRUE(Contains(Text(standIn_->messages[1].fileBytes), L"interval=60"));
    EXPECT_EQ(form.Rest.Interval, 60);
    EXPECT_EQ(form.Rest.RestTime, 10);
    ASSERT_TRUE(form.SaveEyeProtectionFlag(true));
    EXPECT_EQ(Get(L"vyn", L"seteyeprotection"), L"true");
}

TEST_F(OptionFormTest, FailedSavesAreToldAndLeaveTheWindowOpen) {
    Fixture({L"[vyn]", L"x=1"});
    TFormCorvalleOption& form = Open(kPageGeneral);
    form.TimerAlerts.resize(1);
    ReplaceFileByFolder();
    standIn_->messages.clear();
    settingstest::MessageBoxWatcher watcher;
    GeneralOkClick(form);
    settingstest::PumpUntil([&] { return !watcher.Seen().empty(); });
    EXPECT_TRUE(form.IsWindow());
    EXPECT_EQ(watcher.Seen(), std::vector<std::wstring>{L"提示|保存数据失败，文件可能被占用！"});
    EXPECT_TRUE(standIn_->messages.empty()) << "nothing is announced that was not written";
    EXPECT_FALSE(form.SaveTimerAlertList());
    EXPECT_FALSE(form.SaveRestSettings(30, 5));
    EXPECT_FALSE(form.WriteRestRun(true));
    Pump(30);
    EXPECT_TRUE(standIn_->messages.empty());
    EXPECT_FALSE(form.SaveShutDownList());
    settingstest::PumpUntil([&] { return !standIn_->messages.empty(); });
    EXPECT_EQ(standIn_->Numbers(), std::vector<UINT>{protocol::WM_SETTINGS_CHANGED});

    settingstest::RemovePath(path_);
    Fixture({L"[vyn]", L"x=1"});
    GeneralOkClick(form);
    settingstest::PumpUntil([&] { return !form.IsWindow(); });
    EXPECT_FALSE(form.IsWindow()) << "a saved general page closes";
}

TEST_F(OptionFormTest, ARunValueThatCannotBeChangedFailsTheSave) {
    Fixture({L"[vyn]", L"x=1"});
    for (bool tick : {true, false}) {
        SCOPED_TRACE(tick ? "write" : "delete");
        HKEY key = nullptr;
        ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        if (tick) ::RegDeleteValueW(key, L"Corvalle");
        ::RegCloseKey(key);
        if (!tick) {
            ASSERT_TRUE(settingstest::WriteRegText(HKEY_CURRENT_USER, kRunKey, L"Corvalle", AutorunValue(ExeFolder())));
        }
        TFormCorvalleOption& form = Open(kPageGeneral);
        ASSERT_EQ(form.Autorun, !tick);
        form.Autorun = tick;
        form.General.WiseHealthAlert = !form.General.WiseHealthAlert;
        form.General.CityCode = L"101280101";
        const std::string fileBefore = settingstest::ReadBytes(path_);
        standIn_->messages.clear();
        {
            ReadOnlyRunKey readOnly;
            ASSERT_TRUE(readOnly.Applied());
            settingstest::MessageBoxWatcher watcher;
            GeneralOkClick(form);
            settingstest::PumpUntil([&] { return !watcher.Seen().empty(); });
            EXPECT_EQ(watcher.Seen(), std::vector<std::wstring>{L"提示|保存数据失败，文件可能被占用！"});
        }
        EXPECT_TRUE(form.IsWindow());
        EXPECT_TRUE(standIn_->messages.empty()) << "no code for a box whose value was not stored";
        EXPECT_EQ(settingstest::ReadBytes(path_), fileBefore) << "the general keys went back with the form's";
        std::wstring run;
        EXPECT_EQ(settingstest::ReadRegText(HKEY_CURRENT_USER, kRunKey, L"Corvalle", run), !tick);
        form_.reset();
    }
}

BOOL CALLBACK FindForm(HWND window, LPARAM found) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (std::wstring(name) != L"TFormCorvalleOption") return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The form of the program running on `thread`, or null (another test's
// program may have a form of the same class on the display).
HWND FormOfThread(DWORD thread) {
    HWND form = nullptr;
    if (thread) ::EnumThreadWindows(thread, FindForm, reinterpret_cast<LPARAM>(&form));
    return form;
}

// ProgramMain on a thread of its own, ended however far it got: its loop
// ends at WM_QUIT, which is posted until the thread has returned.
class ProgramThread {
public:
    explicit ProgramThread(const wchar_t* commandLine)
        : thread_([this, commandLine] {
              id_ = ::GetCurrentThreadId();
              ProgramMain(commandLine);
              ended_ = true;
          }) {}
    ~ProgramThread() {
        settingstest::PumpUntil(
            [this] {
                if (id_) ::PostThreadMessageW(id_, WM_QUIT, 0, 0);
                return ended_.load();
            },
            INFINITE);
        thread_.join();
    }
    DWORD Id() const { return id_; }

private:
    std::atomic<DWORD> id_{0};
    std::atomic<bool> ended_{false};
    std::thread thread_;
};

// The ring's open dialog and the shell calls need the window's thread in a
// single-threaded apartment: already there, a second entry answers S_FALSE.
TEST_F(OptionFormTest, TheProgramsWindowThreadIsASingleThreadedApartment) {
    Fixture({L"[vyn]", L"x=1"});
    ProgramThread program(L"Mirelo.exe general");
    HWND window = nullptr;
    settingstest::PumpUntil([&] { return (window = FormOfThread(program.Id())) != nullptr; }, 30000);
    ASSERT_NE(window, nullptr) << "the program's form did not appear";
    HHOOK hook = ::SetWindowsHookExW(WH_GETMESSAGE, ProbeApartment, nullptr, program.Id());
    ASSERT_NE(hook, nullptr);
    ::PostMessageW(window, WM_NULL, 0, 0);
    settingstest::PumpUntil([] { return g_apartment != E_PENDING; });
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_apartment, S_FALSE);
}

TEST_F(OptionFormTest, TheCloseButtonReportsAnEmptyListPage) {
    struct Case {
        OptionPage page;
        bool withEntries;
        std::vector<WPARAM> codes;
    };
    const Case cases[] = {{kPageTimerAlertList, false, {9}}, {kPageTimerAlertList, true, {}},
                          {kPageShutDownList, false, {12}},  {kPageShutDownList, true, {}},
                          {kPageGeneral, false, {}},         {kPageHealth, false, {}}};
    for (const Case& c : cases) {
        if (c.withEntries)
            Fixture({L"[vyn]", L"TimerAlertCount=1", L"TimeShutDownCount=1", L"[TimerAlert1]", L"TimerAlertTime=08:00",
                     L"TimerAlertRepeat=1", L"[vynShutDown1]", L"ShutDownAlertTime=08:00", L"ShutDownAlertRepeat=1"});
        else
            Fixture({L"[vyn]", L"x=1"});
        TFormCorvalleOption& form = Open(c.page);
        standIn_->messages.clear();
        const RECT button = form.CloseButton()->Bounds();
        const LPARAM at = MAKELPARAM(button.left + 5, button.top + 5);
        ::PostMessageW(form.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(form.Hwnd(), WM_LBUTTONUP, 0, at);
        settingstest::PumpUntil([&] { return !form.IsWindow(); });
        EXPECT_FALSE(form.IsWindow()) << "page " << int(c.page);
        EXPECT_EQ(standIn_->Codes(), c.codes) << "page " << int(c.page);
        form_.reset();
    }
}

TEST_F(OptionFormTest, CorvalleClosesTheWindowOrEndsTheProgramByGoingAway) {
    Fixture({L"[vyn]", L"x=1"});
    TFormCorvalleOption& form = Open(kPageGeneral);
    Pump(700);
    EXPECT_EQ(terminated_, 0) << "Corvalle is there";
    EXPECT_EQ(form.MainProgramWindow(), standIn_->Hwnd());
    standIn_.reset();
    const DWORD gone = ::GetTickCount();
    settingstest::PumpUntil([&] { return terminated_ != 0; }, 2000);
    EXPECT_EQ(terminated_ >= 1, true);
    EXPECT_LT(::GetTickCount() - gone, 700u);

    standIn_ = std::make_unique<settingstest::StandInCorvalle>(path_);
    ASSERT_TRUE(standIn_->Start());
    ::PostMessageW(form.Hwnd(), protocol::WM_CLOSE_SETTINGS, 0, 0);
    settingstest::PumpUntil([&] { return !form.IsWindow(); });
    EXPECT_FALSE(form.IsWindow());
}

TEST_F(OptionFormTest, EveryPostLooksCorvallesWindowUpAgain) {
    Fixture({L"[vyn]", L"x=1"});
    TFormCorvalleOption& form = Open(kPageGeneral);
    standIn_.reset();
    auto second = std::make_unique<settingstest::StandInCorvalle>(path_);
    ASSERT_TRUE(second->Start());
    form.NotifyMainProgram(protocol::kEventEyeCare);
    form.PostToMainProgram(protocol::WM_SHOW_EYE_EXERCISE);
    settingstest::PumpUntil([&] { return second->messages.size() >= 2; });
    EXPECT_EQ(second->Numbers(), (std::vector<UINT>{protocol::WM_REPORT_SETTINGS_EVENT, protocol::WM_SHOW_EYE_EXERCISE}));
    EXPECT_EQ(form.MainProgramWindow(), second->Hwnd());
    standIn_ = std::move(second);
}

// A plain window that can take the foreground from the form.
HWND MakeWindow(const wchar_t* className) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowExW(0, className, L"", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ::SetForegroundWindow(hwnd);
    Pump(30);
    return hwnd;
}

TEST_F(OptionFormTest, ShowPageRaisesTheMatchingGroupOrOwnConfirmationBox) {
    Fixture({L"[vyn]", L"x=1"});
    TFormCorvalleOption& form = Open(kPageTimerAlertList);
    form.Show();
    struct Case {
        WPARAM page;
        bool raised;
    };
    const Case cases[] = {{1, true}, {0x301, true}, {0, false}, {3, false}, {5, false}, {2, false}, {7, false}};
    for (const Case& c : cases) {
        HWND other = MakeWindow(L"SettingsTestOther");
        ASSERT_EQ(::GetForegroundWindow(), other);
        ::SendMessageW(form.Hwnd(), protocol::WM_SHOW_PAGE, c.page, 0);
        Pump(30);
        EXPECT_EQ(::GetForegroundWindow() == form.Hwnd(), c.raised) << "page " << c.page;
        EXPECT_FALSE(::GetWindowLongW(form.Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) << "not left on top";
        ::DestroyWindow(other);
    }
    form.ShowPage(kPageTimerAlertEdit);
    HWND confirm = MakeWindow(L"TFormConfirmMode");
    HWND other = MakeWindow(L"SettingsTestOther");
    ::SendMessageW(form.Hwnd(), protocol::WM_SHOW_PAGE, 1, 0);
    settingstest::PumpUntil([&] { return ::GetForegroundWindow() == confirm; });
    EXPECT_EQ(::GetForegroundWindow(), confirm) << "the confirmation box stands in for the form";
    ::DestroyWindow(other);
    ::DestroyWindow(confirm);
}

TEST_F(OptionFormTest, UninstallRestoresTheModeAndEndsWithoutTouchingTheFile) {
    settingstest::MessageBoxWatcher watcher;
    Open(kPageHealth, true, [] { return true; });
    EXPECT_EQ(terminated_, 1);
    EXPECT_EQ(watcher.Seen(), std::vector<std::wstring>{L"提示|Vynmar已经帮您还原显示模式，DPI大小重启后生效。"});
    form_.reset();
    Open(kPageHealth, true, [] { return false; });
    EXPECT_EQ(terminated_, 2);
    Pump(100);
    EXPECT_EQ(watcher.Seen().size(), 1u) << "nothing to restore, nothing said";
    EXPECT_FALSE(settingstest::IsFile(path_));
    EXPECT_TRUE(standIn_->messages.empty());
}

TEST_F(OptionFormTest, TheWindowColourGoesToTheRegistryAndTheSystem) {
    settingstest::RegValueBackup colourBackup(HKEY_CURRENT_USER, L"Control Panel\\Colors", L"Window");
    const COLORREF before = ::GetSysColor(COLOR_WINDOW);
    Fixture({L"[vyn]", L"x=1"});
    TFormCorvalleOption& form = Open(kPageHealth);
    form.SetWindowColor(true);
    std::wstring value;
    ASSERT_TRUE(settingstest::ReadRegText(HKEY_CURRENT_USER, L"Control Panel\\Colors", L"Window", value));
    EXPECT_EQ(value, L"204 232 207");
    EXPECT_TRUE(IsEyeProtectionColorOn());
    form.SetWindowColor(false);
    ASSERT_TRUE(settingstest::ReadRegText(HKEY_CURRENT_USER, L"Control Panel\\Colors", L"Window", value));
    EXPECT_EQ(value, L"255 255 255");
    EXPECT_FALSE(IsEyeProtectionColorOn());
    const INT element = COLOR_WINDOW;
    ::SetSysColors(1, &element, &before);
}

}  // namespace
