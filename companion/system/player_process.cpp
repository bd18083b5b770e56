#include "companion/system/player_process.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <mutex>
#include <string>

#include "companion/system/paths.h"
#include "protocol/program_names.h"
#include "winlib/handles.h"

namespace {

constexpr const wchar_t* kPlayerProgram = protocol::kPlayerProgram;

// The player this process started last; sounds start and stop on the detect
// thread, the lock keeps any other caller safe.
std::mutex& PlayerLock() {
    static std::mutex lock;
    return lock;
}
winlib::Process& StartedPlayer() {
    static winlib::Process process;
    return process;
}

bool SameSession(DWORD processId) {
    DWORD own = 0, other = 0;
    return ::ProcessIdToSessionId(::GetCurrentProcessId(), &own) && ::ProcessIdToSessionId(processId, &other) &&
           own == other;
}

}  // namespace

void PlaySoundFile(const wchar_t* path) {
    std::wstring dir;
    if (!path || !GetExeDir(dir)) return;
    const std::wstring player = dir + kPlayerProgram;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = player.c_str();
    info.lpParameters = path;
    info.nShow = SW_HIDE;
    if (!::ShellExecuteExW(&info)) return;
    std::lock_guard<std::mutex> hold(PlayerLock());
    StartedPlayer().Reset(info.hProcess);
}

DWORD FindSoundHelperProcess() {
    winlib::FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more;
         more = ::Process32NextW(snapshot.Get(), &entry)) {
        // Another user's (or session's) player is none of ours.
        if (::_wcsicmp(entry.szExeFile, kPlayerProgram) == 0 && SameSession(entry.th32ProcessID))
            return entry.th32ProcessID;
    }
    return 0;
}

bool StopSoundHelper() {
    {
        std::lock_guard<std::mutex> hold(PlayerLock());
        winlib::Process& started = StartedPlayer();
        if (started) {
            winlib::Process process(started.Detach());
            if (::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT)
                return ::TerminateProcess(process.Get(), 0) != FALSE;
            return false;  // it has ended by itself: nothing else is ours to stop
        }
    }
    // A player this process did not start (a previous copy's) is found by name.
    const DWORD id = FindSoundHelperProcess();
    if (id == 0) return false;
    winlib::Process process(::OpenProcess(PROCESS_TERMINATE, FALSE, id));
    return process && ::TerminateProcess(process.Get(), 0);
}

int RunDownloader(const std::wstring& url, DWORD timeoutMs) {
    std::wstring dir;
    if (!GetExeDir(dir)) return -1;
    const std::wstring player = dir + kPlayerProgram;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = player.c_str();
    info.lpParameters = url.c_str();
    info.nShow = SW_HIDE;
    if (!::ShellExecuteExW(&info) || !info.hProcess) return -1;
    winlib::Process process(info.hProcess);
    if (::WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0) {
        // A server that never answers must not hold the reminders up.
        ::TerminateProcess(process.Get(), static_cast<UINT>(-1));
        return -1;
    }
    DWORD code = 0;
    if (!::GetExitCodeProcess(process.Get(), &code)) return -1;
    return static_cast<int>(code);
}
