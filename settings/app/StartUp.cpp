#include "settings/app/StartUp.h"

#include <shellapi.h>

#include "base/log.h"
#include "base/text.h"
#include "protocol/program_names.h"
#include "protocol/window_messages.h"
#include "settings/app/FrmOption.h"
#include "settings/display/SystemControl.h"
#include "settings/forms/application.h"
#include "settings/model/SettingsFile.h"
#include "base/handles.h"

namespace settings {

namespace {

void RemoveFirst(std::wstring& text, wchar_t c) {
    const size_t at = text.find(c);
    if (at != std::wstring::npos) text.erase(at, 1);
}

}  // namespace

void ParsePage(const std::wstring& argument, OptionPage& page, bool& uninstall) {
    uninstall = false;
    std::wstring word = argument;
    RemoveFirst(word, L'-');
    RemoveFirst(word, L'/');
    RemoveFirst(word, L'\\');
    word = base::LowerCase(word);
    if (word == protocol::kSettingsPageEye) page = kPageHealth;
    else if (word == protocol::kSettingsPageGeneral) page = kPageGeneral;
    else if (word == protocol::kSettingsPageTimeAlert) page = kPageTimerAlertList;
    else if (word == protocol::kSettingsPageTimeShutdown) page = kPageShutDownList;
    else if (word == protocol::kSettingsJobMigrate) page = kPageInit;
    else if (word == protocol::kSettingsJobUninstall) {
        page = kPageHealth;
        uninstall = true;
    } else page = kPageNone;
}

std::wstring PageTitle(int page) {
    switch (page) {
    case kPageGeneral: return L"设置";
    case kPageTimerAlertList:
    case kPageTimerAlertEdit: return L"定时提醒";
    case kPageShutDownList:
    case kPageShutDownEdit: return L"定时关机";
    case kPageHealth: return L"健康护士";
    default: return std::wstring();
    }
}

std::wstring FirstArgument(const wchar_t* commandLine) {
    if (!commandLine || !*commandLine) return std::wstring();
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(commandLine, &count);
    const base::LocalMemory block(args);
    if (!args) return std::wstring();
    return count > 1 ? args[1] : L"";
}

BOOL CALLBACK ActivateRunningInstance(HWND window, LPARAM lParam) {
    wchar_t name[261] = {};
    ::GetClassNameW(window, name, 260);
    if (::lstrcmpW(name, protocol::kSettingsWindowClass) != 0) return TRUE;
    // A first copy that does not answer must not hang this one: it ends as
    // after a hand-over, without waiting on any further window.
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window, protocol::WM_SHOW_PAGE, static_cast<WPARAM>(lParam), 0, SMTO_NORMAL,
                                 kShowPageTimeoutMs, &result) != 0;
}

int ProgramMain(const wchar_t* commandLine) {
    const std::wstring argument = base::LowerCase(FirstArgument(commandLine));
    OptionPage page;
    bool uninstall;
    ParsePage(argument, page, uninstall);
    if (page == kPageNone) return 0;
    if (page == kPageInit) {
        MigrateSettings();
        return 0;
    }

    // The suffix is the word as given (lower-cased), so "eye" and "/eye"
    // are two different instances.
    const std::wstring mutexName = kOptionMutexPrefix + argument;
    base::Mutex mutex(::CreateMutexW(nullptr, FALSE, mutexName.c_str()));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::ReleaseMutex(mutex.Get());
        ::EnumWindows(ActivateRunningInstance, page);
        return 0;
    }

    // The ring's open dialog and the shell calls behind the links and the
    // ring preview expect a single-threaded apartment on the window's thread.
    base::ComScope com;
    forms::TApplicationWindow& application = forms::Application();
    application.Initialize(L"ZubVynmar - " + PageTitle(page));
    TFormCorvalleOption::Hooks hooks;
    if (uninstall)
        hooks.RestoreSavedMode = [] { return RestoreSavedDisplayMode(SystemDisplayApi(), SettingsFilePath()); };
    TFormCorvalleOption form(page, uninstall, hooks);
    application.SetMainForm(&form);
    if (!form.CreateForm(application.Hwnd())) {
        base::LogFailedCall(L"start-up", L"creating the settings window");
        return 0;
    }
    application.ShowButton();
    form.Show();
    const int code = application.Run();
    application.SetMainForm(nullptr);
    return code;
}

}  // namespace settings
