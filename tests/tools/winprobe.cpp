// A small command-line probe for the end-to-end tests: finds windows by class,
// sends and posts messages, stands in as a window of a given class that logs
// what it receives, ends processes by name and reads or sets the window colour.
//
//   winprobe find CLASS [TIMEOUT_MS]       exit 0 when found; prints its state
//   winprobe gone CLASS [TIMEOUT_MS]       exit 0 once no such window exists
//   winprobe count CLASS                   prints the number of top-level windows
//   winprobe post CLASS MSG [WPARAM [LPARAM]]
//   winprobe send CLASS MSG [WPARAM [LPARAM]]   prints the result
//   winprobe listen CLASS TIMEOUT_MS FILE  logs "msg wparam lparam" of private messages
//   winprobe listen CLASS TIMEOUT_MS FILE TITLE [COUNT]
//                                          COUNT windows (default 1) titled TITLE
//                                          (CLASS "-": a class of its own); logs
//                                          WM_CLOSE as well and keeps the window
//   winprobe link PATH TARGET [ARGS]        saves a shell link
//   winprobe kill IMAGE                    ends every process of that image name
//   winprobe syscolor [R G B]              prints (or sets) the window colour as "R G B"
//   winprobe folder desktop|appdata|temp|programs
//                                          prints that folder of the user (programs:
//                                          the all-users Start menu's programs)
//   winprobe touch PATH | exists PATH      makes an empty file | exit 0 when it is one
//   winprobe ini PATH SECTION KEY VALUE    writes one value with the profile functions
//   winprobe text CLASS                    prints the window's text (UTF-8)
//   winprobe meminfo IMAGE                 memory and object counts of that process, one line
//   winprobe firstframe CLASS TIMEOUT_MS   waits until that window shows with a non-empty
//                                          rectangle; prints the time since its process started
//   winprobe click CLASS X Y               a left click with the mouse at the client point
//                                          (X, Y) of that window; negative values count from
//                                          the right or bottom edge
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "gdi_handle_count.h"
#include "tests/tools/ini_command.h"

namespace {

unsigned long Number(const wchar_t* text) {
    return std::wcstoul(text, nullptr, 0);
}

struct CountContext {
    const wchar_t* className;
    int count;
};

BOOL CALLBACK CountWindows(HWND hwnd, LPARAM param) {
    auto* ctx = reinterpret_cast<CountContext*>(param);
    wchar_t name[256] = {};
    ::GetClassNameW(hwnd, name, 256);
    if (std::wcscmp(name, ctx->className) == 0) ++ctx->count;
    return TRUE;
}

HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND hwnd = ::FindWindowW(className, nullptr)) return hwnd;
        if (::GetTickCount() - start >= timeoutMs) return nullptr;
        ::Sleep(50);
    }
}

int Find(const wchar_t* className, DWORD timeoutMs) {
    HWND hwnd = WaitForWindow(className, timeoutMs);
    if (!hwnd) {
        std::printf("not found\n");
        return 1;
    }
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    std::printf("found rect=%ld,%ld,%ld,%ld style=%08lx exstyle=%08lx visible=%d\n", rc.left, rc.top, rc.right,
                rc.bottom, static_cast<unsigned long>(::GetWindowLongW(hwnd, GWL_STYLE)),
                static_cast<unsigned long>(::GetWindowLongW(hwnd, GWL_EXSTYLE)), ::IsWindowVisible(hwnd) ? 1 : 0);
    return 0;
}

int Gone(const wchar_t* className, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (::FindWindowW(className, nullptr)) {
        if (::GetTickCount() - start >= timeoutMs) return 1;
        ::Sleep(50);
    }
    return 0;
}

FILE* g_log = nullptr;
// With a title: close requests are logged too, and the windows stay, so a
// second request would show.
bool g_logClose = false;
int g_windows = 0;

LRESULT CALLBACK ListenProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if ((msg >= WM_USER || (msg == WM_CLOSE && g_logClose)) && g_log) {
        std::fprintf(g_log, "%u %lu %ld\n", msg, static_cast<unsigned long>(wParam), static_cast<long>(lParam));
        std::fflush(g_log);
    }
    if (msg == WM_CLOSE && g_logClose) return 0;
    if (msg == WM_DESTROY && --g_windows == 0) ::PostQuitMessage(0);
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

int Listen(const wchar_t* className, DWORD timeoutMs, const wchar_t* file, const wchar_t* title, int count) {
    g_log = ::_wfopen(file, L"a");
    if (!g_log) return 2;
    g_logClose = title != nullptr;
    if (std::wcscmp(className, L"-") == 0) className = L"WinprobeListen";
    WNDCLASSW wc{};
    wc.lpfnWndProc = ListenProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    ::RegisterClassW(&wc);
    std::vector<HWND> windows;
    for (int i = 0; i < count; ++i) {
        HWND hwnd = ::CreateWindowExW(0, className, title ? title : L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      wc.hInstance, nullptr);
        if (!hwnd) return 2;
        ++g_windows;
        windows.push_back(hwnd);
    }
    ::SetTimer(windows.front(), 1, timeoutMs, nullptr);
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (m.message == WM_TIMER && m.hwnd == windows.front()) {
            for (HWND hwnd : windows) ::DestroyWindow(hwnd);
            continue;
        }
        ::DispatchMessageW(&m);
    }
    std::fclose(g_log);
    return 0;
}

int SaveLink(const wchar_t* path, const wchar_t* target, const wchar_t* arguments) {
    ::CoInitialize(nullptr);
    int result = 1;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&link)))) {
        link->SetPath(target);
        if (arguments) link->SetArguments(arguments);
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Save(path, TRUE))) result = 0;
            file->Release();
        }
        link->Release();
    }
    ::CoUninitialize();
    return result;
}

int Kill(const wchar_t* image) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 2;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    int killed = 0;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (::_wcsicmp(entry.szExeFile, image) != 0) continue;
        if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
            ::TerminateProcess(process, 0);
            ::WaitForSingleObject(process, 5000);
            ::CloseHandle(process);
            ++killed;
        }
    }
    ::CloseHandle(snapshot);
    std::printf("killed %d\n", killed);
    return 0;
}

int SysColor(int argc, wchar_t** argv) {
    if (argc >= 5) {
        const INT element = COLOR_WINDOW;
        const COLORREF colour = RGB(Number(argv[2]), Number(argv[3]), Number(argv[4]));
        ::SetSysColors(1, &element, &colour);
    }
    const COLORREF now = ::GetSysColor(COLOR_WINDOW);
    std::printf("%d %d %d\n", GetRValue(now), GetGValue(now), GetBValue(now));
    return 0;
}

int PrintFolder(const std::wstring& which) {
    wchar_t path[MAX_PATH] = {};
    if (which == L"temp") {
        const DWORD len = ::GetTempPathW(MAX_PATH, path);
        if (len == 0 || len >= MAX_PATH) return 1;
        if (path[len - 1] == L'\\') path[len - 1] = L'\0';
        std::printf("%ls\n", path);
        return 0;
    }
    const int csidl = which == L"desktop"    ? CSIDL_DESKTOP
                      : which == L"appdata"  ? CSIDL_APPDATA
                      : which == L"programs" ? CSIDL_COMMON_PROGRAMS
                                             : -1;
    if (csidl < 0 || !::SHGetSpecialFolderPathW(nullptr, path, csidl, TRUE)) return 1;
    std::printf("%ls\n", path);
    return 0;
}

int Touch(const wchar_t* path) {
    HANDLE h = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 1;
    ::CloseHandle(h);
    return 0;
}

int Exists(const wchar_t* path) {
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
}


DWORD FindProcessId(const wchar_t* image) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    DWORD pid = 0;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && !pid; more = ::Process32NextW(snapshot, &entry))
        if (::_wcsicmp(entry.szExeFile, image) == 0) pid = entry.th32ProcessID;
    ::CloseHandle(snapshot);
    return pid;
}

struct WindowCount {
    DWORD pid;
    long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM param) {
    ++reinterpret_cast<WindowCount*>(param)->count;
    return TRUE;
}

BOOL CALLBACK CountOwnWindows(HWND hwnd, LPARAM param) {
    auto* ctx = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ctx->pid) return TRUE;
    ++ctx->count;
    ::EnumChildWindows(hwnd, CountChild, param);
    return TRUE;
}

// The windows of a process, top-level, child and message-only: the bulk of
// its USER objects.
long CountWindowsOf(DWORD pid) {
    WindowCount ctx{pid, 0};
    ::EnumWindows(CountOwnWindows, reinterpret_cast<LPARAM>(&ctx));
    for (HWND hwnd = ::FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); hwnd;
         hwnd = ::FindWindowExW(HWND_MESSAGE, hwnd, nullptr, nullptr))
        CountOwnWindows(hwnd, reinterpret_cast<LPARAM>(&ctx));
    return ctx.count;
}

// GetGuiResources, or -1 where the system does not implement it.
long GuiResources(HANDLE process, DWORD which) {
    ::SetLastError(0);
    const DWORD n = ::GetGuiResources(process, which);
    if (n == 0 && ::GetLastError() != 0) return -1;
    return static_cast<long>(n);
}

int MemInfo(const wchar_t* image) {
    const DWORD pid = FindProcessId(image);
    if (!pid) {
        std::printf("not found\n");
        return 1;
    }
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) {
        std::printf("cannot open %lu\n", pid);
        return 1;
    }
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    const BOOL haveCounters =
        ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    // Windows gives the same figure as PrivateUsage and as PagefileUsage; a
    // system that leaves PrivateUsage at 0 still fills the other.
    std::printf(
        "pid=%lu private_usage=%ld pagefile_usage=%ld working_set=%ld gui_gdi=%ld gui_user=%ld gdi_handles=%ld "
        "windows=%ld\n",
        pid, haveCounters ? static_cast<long>(counters.PrivateUsage) : -1L,
        haveCounters ? static_cast<long>(counters.PagefileUsage) : -1L,
        haveCounters ? static_cast<long>(counters.WorkingSetSize) : -1L, GuiResources(process, GR_GDIOBJECTS),
        GuiResources(process, GR_USEROBJECTS), gdi_count::CountGdiHandles(process, pid), CountWindowsOf(pid));
    ::CloseHandle(process);
    return 0;
}

long long FileTimeMs(const FILETIME& ft) {
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    return static_cast<long long>(v.QuadPart / 10000);
}

// The first frame of a layered window is the first UpdateLayeredWindow that
// gives it a size: until then the window is visible yet empty.
int FirstFrame(const wchar_t* className, DWORD timeoutMs) {
    // The caller starts the program once this line is out, so that no frame
    // comes before the watch begins.
    std::printf("waiting\n");
    std::fflush(stdout);
    const DWORD start = ::GetTickCount();
    HWND hwnd = nullptr;
    for (;;) {
        hwnd = ::FindWindowW(className, nullptr);
        RECT rc{};
        if (hwnd && ::IsWindowVisible(hwnd) && ::GetWindowRect(hwnd, &rc) && rc.right > rc.left &&
            rc.bottom > rc.top)
            break;
        if (::GetTickCount() - start >= timeoutMs) {
            std::printf("not shown\n");
            return 1;
        }
        ::Sleep(5);
    }
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    FILETIME created{}, exited{}, kernel{}, user{};
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    const bool haveTimes = process && ::GetProcessTimes(process, &created, &exited, &kernel, &user);
    if (process) ::CloseHandle(process);
    // 1601-01-01 to 1970-01-01 in milliseconds: the caller compares with
    // its own clock.
    constexpr long long kEpochMs = 11644473600000LL;
    std::printf("since_start_ms=%lld shown_unix_ms=%lld\n", haveTimes ? FileTimeMs(now) - FileTimeMs(created) : -1LL,
                FileTimeMs(now) - kEpochMs);
    return 0;
}

// Moves the pointer there and presses and lets go of the left button, as a
// user's mouse would.
int Click(const wchar_t* className, long x, long y) {
    HWND hwnd = ::FindWindowW(className, nullptr);
    if (!hwnd) {
        std::printf("not found\n");
        return 1;
    }
    RECT client{};
    ::GetClientRect(hwnd, &client);
    POINT at{x < 0 ? client.right + x : x, y < 0 ? client.bottom + y : y};
    ::ClientToScreen(hwnd, &at);
    ::SetForegroundWindow(hwnd);
    ::SetCursorPos(at.x, at.y);
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &press[0], sizeof(INPUT));
    ::Sleep(50);
    ::SendInput(1, &press[1], sizeof(INPUT));
    std::printf("clicked %ld,%ld\n", at.x, at.y);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    if (command == L"syscolor") return SysColor(argc, argv);
    if (argc < 3) return 2;
    const wchar_t* target = argv[2];
    if (command == L"find") return Find(target, argc > 3 ? Number(argv[3]) : 0);
    if (command == L"gone") return Gone(target, argc > 3 ? Number(argv[3]) : 0);
    if (command == L"count") {
        CountContext ctx{target, 0};
        ::EnumWindows(CountWindows, reinterpret_cast<LPARAM>(&ctx));
        std::printf("%d\n", ctx.count);
        return 0;
    }
    if (command == L"kill") return Kill(target);
    if (command == L"text") {
        HWND hwnd = ::FindWindowW(target, nullptr);
        if (!hwnd) return 1;
        wchar_t text[4096] = {};
        ::GetWindowTextW(hwnd, text, 4096);
        char utf8[16384] = {};
        ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8) - 1, nullptr, nullptr);
        std::fwrite(utf8, 1, std::strlen(utf8), stdout);
        std::printf("\n");
        return 0;
    }
    if (command == L"meminfo") return MemInfo(target);
    if (command == L"firstframe") return FirstFrame(target, argc > 3 ? Number(argv[3]) : 30000);
    if (command == L"folder") return PrintFolder(target);
    if (command == L"click" && argc >= 5) return Click(target, std::wcstol(argv[3], nullptr, 10), std::wcstol(argv[4], nullptr, 10));
    if (command == L"touch") return Touch(target);
    if (command == L"exists") return Exists(target);
    if (command == L"ini" && argc >= 6) return probe::IniCommand(argc, argv);
    if (command == L"listen" && argc >= 5)
        return Listen(target, Number(argv[3]), argv[4], argc >= 6 ? argv[5] : nullptr,
                      argc >= 7 ? static_cast<int>(Number(argv[6])) : 1);
    if (command == L"link" && argc >= 4) return SaveLink(target, argv[3], argc >= 5 ? argv[4] : nullptr);
    if ((command == L"post" || command == L"send") && argc >= 4) {
        HWND hwnd = ::FindWindowW(target, nullptr);
        if (!hwnd) {
            std::printf("not found\n");
            return 1;
        }
        const UINT msg = Number(argv[3]);
        const WPARAM wParam = argc > 4 ? Number(argv[4]) : 0;
        const LPARAM lParam = argc > 5 ? static_cast<LPARAM>(Number(argv[5])) : 0;
        if (command == L"post") return ::PostMessageW(hwnd, msg, wParam, lParam) ? 0 : 1;
        std::printf("%ld\n", static_cast<long>(::SendMessageW(hwnd, msg, wParam, lParam)));
        return 0;
    }
    return 2;
}
