// Stands in for Corvalle's main window: a window of class "Corvalle" that
// logs every message 0x1600-0x1606 as "msg wparam lparam copy" and, at that
// very moment, copies Corvalle.ini into COPYDIR as <n>.ini ("-" in the log
// when there was no file). The copies show what the file held when the
// message arrived, so they prove it was written before the post.
//
//   corvalle_standin LOGFILE COPYDIR [LIFETIME_MS]   (0 or none: until closed)
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

FILE* g_log = nullptr;
std::wstring g_copyDir;
std::wstring g_settings;
int g_copies = 0;

std::wstring SettingsPath() {
    wchar_t dir[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, dir))) return std::wstring();
    return std::wstring(dir) + L"\\tarvisk\\Corvalle.ini";
}

LRESULT CALLBACK StandInProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= 0x1600 && msg <= 0x1606) {
        wchar_t copy[32] = L"-";
        std::wstring target = g_copyDir + L"\\" + std::to_wstring(g_copies + 1) + L".ini";
        if (::CopyFileW(g_settings.c_str(), target.c_str(), FALSE)) std::swprintf(copy, 32, L"%d.ini", ++g_copies);
        std::fprintf(g_log, "%u %lu %ld %ls\n", msg, static_cast<unsigned long>(wParam), static_cast<long>(lParam), copy);
        std::fflush(g_log);
        return 1;
    }
    if (msg == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    g_log = ::_wfopen(argv[1], L"a");
    if (!g_log) return 2;
    g_copyDir = argv[2];
    ::CreateDirectoryW(g_copyDir.c_str(), nullptr);
    g_settings = SettingsPath();
    const DWORD lifetime = argc > 3 ? std::wcstoul(argv[3], nullptr, 0) : 0;

    WNDCLASSW wc{};
    wc.lpfnWndProc = StandInProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Corvalle";
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"Corvalle", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    if (!hwnd) return 2;
    if (lifetime) ::SetTimer(hwnd, 1, lifetime, nullptr);
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (m.message == WM_TIMER && m.hwnd == hwnd) {
            ::DestroyWindow(hwnd);
            continue;
        }
        ::DispatchMessageW(&m);
    }
    std::fclose(g_log);
    return 0;
}
