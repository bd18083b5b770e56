// What the settings program's end-to-end scripts need to see of windows,
// printed in UTF-8.
//
//   settings_probe windows CLASS          one line per top-level window:
//                                          "title|client WxH|visible|owner class"
//   settings_probe foreground             "class|title" of the foreground window
//   settings_probe click CLASS X Y        posts a left click at client (X, Y)
//   settings_probe ini PATH SECTION KEY   prints one value read with the profile functions
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/settings/tools/message_box_scan.h"
#include "tests/tools/ini_command.h"

namespace {

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    if (hwnd) ::GetClassNameW(hwnd, name, 256);
    return name;
}

struct ListContext {
    std::wstring className;
};

BOOL CALLBACK ListWindows(HWND hwnd, LPARAM param) {
    auto* ctx = reinterpret_cast<ListContext*>(param);
    if (ClassOf(hwnd) != ctx->className) return TRUE;
    RECT rc{};
    ::GetClientRect(hwnd, &rc);
    std::printf("%s|%ldx%ld|%d|%s\n", msgbox::Utf8(msgbox::WindowText(hwnd)).c_str(), rc.right, rc.bottom,
                ::IsWindowVisible(hwnd) ? 1 : 0, msgbox::Utf8(ClassOf(::GetWindow(hwnd, GW_OWNER))).c_str());
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    if (command == L"foreground") {
        HWND hwnd = ::GetForegroundWindow();
        std::printf("%s|%s\n", msgbox::Utf8(ClassOf(hwnd)).c_str(), msgbox::Utf8(msgbox::WindowText(hwnd)).c_str());
        return 0;
    }
    if (command == L"windows" && argc >= 3) {
        ListContext ctx{argv[2]};
        ::EnumWindows(ListWindows, reinterpret_cast<LPARAM>(&ctx));
        return 0;
    }
    if (command == L"click" && argc >= 5) {
        HWND hwnd = ::FindWindowW(argv[2], nullptr);
        if (!hwnd) return 1;
        const LPARAM at = MAKELPARAM(std::wcstol(argv[3], nullptr, 0), std::wcstol(argv[4], nullptr, 0));
        ::PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
        return 0;
    }
    if (command == L"ini" && argc == 5) return probe::IniCommand(argc, argv);
    return 2;
}
