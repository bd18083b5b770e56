// Watches for message boxes of any program for a while, logs each one once as
// "caption|text" (UTF-8) and answers it.
//
//   msgbox_watcher LOGFILE LIFETIME_MS [BUTTON_ID]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>

#include "tests/settings/tools/message_box_scan.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    FILE* log = ::_wfopen(argv[1], L"ab");
    if (!log) return 2;
    const DWORD lifetime = std::wcstoul(argv[2], nullptr, 0);
    const int button = argc > 3 ? static_cast<int>(std::wcstol(argv[3], nullptr, 0)) : IDOK;
    std::set<HWND> answered;
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < lifetime) {
        for (const msgbox::Box& box : msgbox::Scan(0)) {
            if (!answered.insert(box.hwnd).second) continue;
            std::fprintf(log, "%s|%s\n", msgbox::Utf8(box.caption).c_str(), msgbox::Utf8(box.text).c_str());
            std::fflush(log);
            msgbox::Answer(box.hwnd, button);
        }
        ::Sleep(50);
    }
    std::fclose(log);
    return 0;
}
