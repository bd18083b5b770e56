#include "settings/model/GlobalFuncs.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cwctype>
#include <vector>

#include "base/app_data_folder.h"
#include "base/log.h"
#include "base/module_exports.h"
#include "base/module_path.h"
#include "base/numbers.h"
#include "base/shutdown.h"
#include "base/text.h"
#include "base/handles.h"

namespace settings {

namespace {

struct VersionInfo {
    bool vistaOrLater = false;
    bool win7 = false;
    bool win8 = false;
};

VersionInfo ReadVersion() {
    VersionInfo v;
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!::GetVersionExW(&info)) return v;
    v.vistaOrLater = info.dwMajorVersion > 5;
    if (v.vistaOrLater) {
        v.win7 = info.dwMinorVersion == 1;
        v.win8 = info.dwMinorVersion == 2;
    }
    return v;
}

const VersionInfo& Version() {
    static const VersionInfo v = ReadVersion();
    return v;
}

// The file-system redirection of a 32-bit program on 64-bit Windows, off
// for the owner's scope (where there is one to turn off) and on again at
// its end.
class FsRedirectionOff {
public:
    FsRedirectionOff() : off_(DisableFsRedirection(&cookie_)) {}
    ~FsRedirectionOff() {
        if (off_) RevertFsRedirection(cookie_);
    }
    FsRedirectionOff(const FsRedirectionOff&) = delete;
    FsRedirectionOff& operator=(const FsRedirectionOff&) = delete;

private:
    void* cookie_ = nullptr;
    bool off_;
};

const wchar_t* ShutdownName(base::ShutdownKind kind) {
    switch (kind) {
    case base::ShutdownKind::Restart: return L"the restart";
    case base::ShutdownKind::PowerOff: return L"the power-off";
    case base::ShutdownKind::LogOff: return L"the log-off";
    case base::ShutdownKind::Standby: return L"the standby";
    case base::ShutdownKind::Lock: return L"the lock";
    }
    return L"the request";
}

}  // namespace

const std::wstring& ExeFolder() {
    static const std::wstring folder = base::ModuleFolder(nullptr, base::kLongPathCapacity);
    return folder;
}

bool IsWow64() {
    static const bool wow64 = CheckWow64();
    return wow64;
}

bool IsVistaOrLater() { return Version().vistaOrLater; }
bool IsWin7() { return Version().win7; }
bool IsWin8() { return Version().win8; }

const std::wstring& UiFontName() {
    static const std::wstring name = IsVistaOrLater() ? L"微软雅黑" : L"Tahoma";
    return name;
}

void SetRoundWindowRegion(HWND window, int width, int height, int corner) {
    base::Region region(::CreateRoundRectRgn(0, 0, width + 1, height + 1, corner, corner));
    const POINT corners[] = {{1, 1}, {width - 2, 1}, {1, height - 2}, {width - 2, height - 2}};
    for (const POINT& p : corners) {
        base::Region dot(::CreateRectRgn(p.x, p.y, p.x + 1, p.y + 1));
        ::CombineRgn(region.Get(), region.Get(), dot.Get(), RGN_DIFF);
    }
    // A window that took the region owns it from then on.
    if (::SetWindowRgn(window, region.Get(), TRUE)) region.Detach();
}

void SplitAt(const std::wstring& text, const std::wstring& separator, std::wstring& right, std::wstring& left) {
    const size_t at = separator.empty() ? std::wstring::npos : text.find(separator);
    if (at == std::wstring::npos) {
        left = text;
        right.clear();
        return;
    }
    left = text.substr(0, at);
    right = text.substr(at + separator.size());
}

int ShowInfo(HWND owner, const std::wstring& text) {
    return ::MessageBoxW(owner, text.c_str(), L"提示", MB_ICONINFORMATION);
}

bool CheckWow64() {
    using Fn = UINT(WINAPI*)(LPWSTR, UINT);
    const auto fn = base::Export<Fn>(::GetModuleHandleW(L"kernel32.dll"), "GetSystemWow64DirectoryW");
    if (!fn) return false;
    wchar_t buffer[260] = {};
    return fn(buffer, 260) != 0;
}

bool CheckVersion() { return Version().vistaOrLater; }

REGSAM RegAccess(REGSAM access) {
    return IsWow64() ? (access | KEY_WOW64_64KEY) : access;
}

int DaysInMonth(int month, int year) {
    switch (month) {
    case 2: return ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0) ? 29 : 28;
    case 4: case 6: case 9: case 11: return 30;
    default: return 31;
    }
}

TDateTime ParseDate8(const std::wstring& text) {
    const TDateTime today = Now().DateOnly();
    if (text.size() != 8) return today;
    int year, month, day;
    if (!base::ParseDecimal(text.substr(0, 4), year)) year = today.Year;
    if (!base::ParseDecimal(text.substr(4, 2), month)) month = today.Month;
    if (!base::ParseDecimal(text.substr(6, 2), day)) day = today.Day;
    if (month > 12) month = 12;
    if (month < 1) month = 1;
    if (day > DaysInMonth(month, year)) day = DaysInMonth(month, year);
    if (day < 1) day = 1;
    TDateTime out;
    return TDateTime::Make(year, month, day, 0, 0, 0, out) ? out : today;
}

TDateTime ParseTime(const std::wstring& text) {
    const TDateTime now = Now();
    TDateTime out;
    if (text.empty()) {
        TDateTime::Make(1601, 1, 1, now.Hour, now.Minute, 0, out);
        return out;
    }
    std::wstring hours, rest, minutes, seconds;
    SplitAt(text, L":", rest, hours);
    SplitAt(rest, L":", seconds, minutes);
    int h, m, s;
    if (!base::ParseDecimal(hours, h)) h = 0;
    if (!base::ParseDecimal(minutes, m)) m = 0;
    if (!base::ParseDecimal(seconds, s)) s = 0;
    if (h > 23) h = 0;
    if (m > 59) m = 59;
    if (s > 59) s = 59;
    if (TDateTime::Make(1601, 1, 1, h, m, s, out)) return out;
    TDateTime::Make(1601, 1, 1, now.Hour, now.Minute, now.Second, out);
    return out;
}

std::wstring FormatHHNN(const TDateTime& time) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"%.2d:%.2d", time.Hour, time.Minute);
    return buffer;
}

std::wstring FormatYYYYMMDD(const TDateTime& date) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"%.4d%.2d%.2d", date.Year, date.Month, date.Day);
    return buffer;
}

std::wstring FormatDate8(const std::wstring& yyyymmdd) {
    if (yyyymmdd.size() != 8) return yyyymmdd;
    wchar_t separator[8] = L"-";
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, separator, 8) == 0) separator[0] = L'-', separator[1] = 0;
    return yyyymmdd.substr(0, 4) + separator + yyyymmdd.substr(4, 2) + separator + yyyymmdd.substr(6, 2);
}

std::wstring FormatSeconds(int64_t seconds) {
    if (seconds < 0) seconds = 0;
    wchar_t buffer[40];
    std::swprintf(buffer, 40, L"%.2lld:%.2d:%.2d", static_cast<long long>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return buffer;
}

bool TimeOfDayBefore(const TDateTime& a, const TDateTime& b) {
    return a.SecondsOfDay() < b.SecondsOfDay();
}

std::wstring GetAppDataDir() { return base::AppDataFolder(base::AppDataFallback::kVariableValue); }

bool FileHasExtension(const std::wstring& path, const std::wstring& extensions) {
    if (path.empty()) return true;
    if (!FileExistsAnyView(path)) return false;
    const size_t slash = path.find_last_of(L"\\/");
    const size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return false;
    const std::wstring extension = base::LowerCase(path.substr(dot));
    size_t start = 0;
    while (start <= extensions.size()) {
        size_t end = extensions.find(L';', start);
        if (end == std::wstring::npos) end = extensions.size();
        const std::wstring item =
            base::LowerCase(base::Trim(extensions.substr(start, end - start), base::kSpaceAndTab));
        if (!item.empty() && item == extension) return true;
        start = end + 1;
    }
    return false;
}

bool DisableFsRedirection(void** cookie) {
    if (!IsWow64() || !cookie) return false;
    using Fn = BOOL(WINAPI*)(PVOID*);
    const auto fn = base::Export<Fn>(::GetModuleHandleW(L"kernel32.dll"), "Wow64DisableWow64FsRedirection");
    return fn && fn(cookie);
}

bool RevertFsRedirection(void* cookie) {
    if (!IsWow64()) return false;
    using Fn = BOOL(WINAPI*)(PVOID);
    const auto fn = base::Export<Fn>(::GetModuleHandleW(L"kernel32.dll"), "Wow64RevertWow64FsRedirection");
    return fn && fn(cookie);
}

bool FileExistsAnyView(const std::wstring& path) {
    const FsRedirectionOff off;
    return FileExistsByAttributes(path);
}

bool FileExistsByAttributes(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME) return false;
    WIN32_FIND_DATAW data{};
    if (!base::FindHandle(::FindFirstFileW(path.c_str(), &data))) return false;
    return !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

void SetComboDropWidth(HWND combo, int minWidth) {
    RECT rc{};
    ::GetWindowRect(combo, &rc);
    int width = minWidth;
    if (minWidth < rc.right - rc.left) {
        base::WindowDc dc(combo);
        HFONT font = reinterpret_cast<HFONT>(::SendMessageW(combo, WM_GETFONT, 0, 0));
        base::SelectObjectScope select(dc.Get(), font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
        int widest = 0;
        const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            const int length = static_cast<int>(::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0));
            if (length <= 0) continue;
            std::vector<wchar_t> text(length + 1);
            ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            SIZE size{};
            ::GetTextExtentPoint32W(dc.Get(), text.data(), length, &size);
            if (size.cx > widest) widest = size.cx;
        }
        width = widest + ::GetSystemMetrics(SM_CYVTHUMB) + ::GetSystemMetrics(SM_CXVSCROLL);
        if (width < minWidth) width = minWidth;
    }
    ::SendMessageW(combo, CB_SETDROPPEDWIDTH, width, 0);
}

void OpenFile(const std::wstring& path) {
    if (path.empty()) return;
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    ::ShellExecuteW(nullptr, nullptr, path.c_str(), nullptr, folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
}

bool TerminateSelf() {
    EnablePrivilege(L"SeDebugPrivilege", true);
    base::Process self(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, ::GetCurrentProcessId()));
    // Without a handle of our own the pseudo handle still ends us: a caller
    // that asked to end must never run on.
    HANDLE handle = self ? self.Get() : ::GetCurrentProcess();
    DWORD code = 0;
    if (::GetExitCodeProcess(handle, &code) && code == STILL_ACTIVE) ::TerminateProcess(handle, 1);
    return ::WaitForSingleObject(handle, 1000) == WAIT_OBJECT_0;
}

base::IPower& SystemShutdownApi() {
    // Mirelo shuts down for the user at the screen: open programs may ask.
    return base::SystemPower(base::OpenPrograms::MayAsk);
}

bool DoShutdown(int style, bool force, base::IPower& api) {
    if (style < static_cast<int>(base::ShutdownKind::Restart) || style > static_cast<int>(base::ShutdownKind::Lock)) {
        api.EnableShutdownPrivilege();
        base::LogLine(L"shutdown", L"no such request: " + std::to_wstring(style));
        return false;
    }
    return DoShutdown(static_cast<base::ShutdownKind>(style), force, api);
}

bool DoShutdown(base::ShutdownKind kind, bool force, base::IPower& api) {
    // Mirelo acts for the user at the screen: the system decides about the
    // privilege, and `force` means force for every request.
    base::ShutdownManner manner;
    manner.needsPrivilege = false;
    manner.forceLogOff = true;
    manner.alwaysForceStandby = false;
    manner.machineWide = base::ShutdownManner::MachineWide::WhenForcedRequestRefused;
    if (base::CarryOutShutdown(api, kind, force, manner)) return true;
    base::LogFailedCall(L"shutdown", ShutdownName(kind));
    return false;
}

}  // namespace settings
