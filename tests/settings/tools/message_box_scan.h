// Finds standard message boxes, reads their caption and text, and answers
// them. Shared by the watcher program and the in-process watcher of the unit
// tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/text.h"

namespace msgbox {

struct Box {
    HWND hwnd;
    std::wstring caption;
    std::wstring text;
};

inline std::wstring WindowText(HWND hwnd) {
    const int n = ::GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    ::GetWindowTextW(hwnd, &text[0], n + 1);
    text.resize(static_cast<size_t>(n));
    return text;
}

struct ScanContext {
    DWORD process;  // 0: any process
    std::vector<Box> found;
};

inline BOOL CALLBACK FindText(HWND child, LPARAM param) {
    auto* box = reinterpret_cast<Box*>(param);
    wchar_t name[32] = {};
    ::GetClassNameW(child, name, 32);
    // The text sits in a static control; the icon is a static without text.
    if (::lstrcmpiW(name, L"Static") == 0) {
        std::wstring text = WindowText(child);
        if (!text.empty()) {
            box->text = text;
            return FALSE;
        }
    }
    return TRUE;
}

inline BOOL CALLBACK FindBoxes(HWND hwnd, LPARAM param) {
    auto* ctx = reinterpret_cast<ScanContext*>(param);
    wchar_t name[32] = {};
    ::GetClassNameW(hwnd, name, 32);
    if (::lstrcmpW(name, L"#32770") != 0 || !::IsWindowVisible(hwnd)) return TRUE;
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (ctx->process && process != ctx->process) return TRUE;
    Box box{hwnd, WindowText(hwnd), L""};
    ::EnumChildWindows(hwnd, FindText, reinterpret_cast<LPARAM>(&box));
    ctx->found.push_back(box);
    return TRUE;
}

inline std::vector<Box> Scan(DWORD process) {
    ScanContext ctx{process, {}};
    ::EnumWindows(FindBoxes, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

// Presses the button with `id` (IDOK for the one button of an information box).
inline void Answer(HWND box, int id) {
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

inline std::string Utf8(const std::wstring& text) { return testsupport::Narrow(text); }

}  // namespace msgbox
