#include "companion/system/sound.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <string>

#include "companion/system/paths.h"
#include "winlib/handles.h"

namespace {

constexpr wchar_t kPlayerProgram[] = L"Piravel.exe";

}  // namespace

void PlaySoundFile(const wchar_t* path) {
    std::wstring dir;
    if (!path || !GetExeDir(dir)) return;
    ::ShellExecuteW(nullptr, nullptr, (dir + kPlayerProgram).c_str(), path, nullptr, SW_HIDE);
}

DWORD FindSoundHelperProcess() {
    winlib::FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more;
         more = ::Process32NextW(snapshot.Get(), &entry)) {
        if (::_wcsicmp(entry.szExeFile, kPlayerProgram) == 0) return entry.th32ProcessID;
    }
    return 0;
}

bool StopSoundHelper() {
    const DWORD id = FindSoundHelperProcess();
    if (id == 0) return false;
    winlib::Process process(::OpenProcess(PROCESS_TERMINATE, FALSE, id));
    return process && ::TerminateProcess(process.Get(), 0);
}
