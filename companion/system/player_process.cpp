#include "companion/system/player_process.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <mutex>
#include <string>

#include "base/log.h"
#include "base/numbers.h"
#include "base/path_join.h"
#include "companion/system/paths.h"
#include "companion/system/shared_settings.h"
#include "protocol/corvalle_ini.h"
#include "protocol/program_names.h"
#include "base/handles.h"

namespace companion {

namespace {

constexpr const wchar_t* kPlayerProgram = protocol::kPlayerProgram;

// The player this process started last; sounds start and stop on the detect
// thread, the lock keeps any other caller safe.
std::mutex& PlayerLock() {
    static std::mutex lock;
    return lock;
}
base::Process& StartedPlayer() {
    static base::Process process;
    return process;
}

namespace ini = protocol::ini;

std::wstring PlayerPath() {
    std::wstring dir;
    return GetExeDir(dir) ? base::JoinPath(dir, kPlayerProgram) : std::wstring();
}

// A process id alone may already name another program's process; with its
// creation time it names one process for good.
std::wstring CreationStamp(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return std::wstring();
    return std::to_wstring((static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime);
}

// Written for a later copy of Corvalle: this one's player may outlive it.
void RecordPlayer(HANDLE process) {
    const std::wstring created = CreationStamp(process);
    const DWORD id = ::GetProcessId(process);
    const std::wstring idText = created.empty() || id == 0 ? std::wstring() : std::to_wstring(id);
    WriteConfigString(ini::kPlayer, ini::kPlayerProcessId, idText.c_str());
    WriteConfigString(ini::kPlayer, ini::kPlayerCreated, created.c_str());
}

void ForgetRecordedPlayer() {
    WriteConfigString(ini::kPlayer, ini::kPlayerProcessId, L"");
    WriteConfigString(ini::kPlayer, ini::kPlayerCreated, L"");
}

// The player a copy of Corvalle recorded, when that very process still runs.
base::Process OpenRecordedPlayer() {
    std::wstring idText, created;
    int id = 0;
    if (ReadConfigString(idText, ini::kPlayer, ini::kPlayerProcessId) != 0 || !base::ParseDecimal(idText, id) ||
        id <= 0 || ReadConfigString(created, ini::kPlayer, ini::kPlayerCreated) != 0)
        return base::Process();
    base::Process process(
        ::OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, static_cast<DWORD>(id)));
    if (!process || CreationStamp(process.Get()) != created) return base::Process();
    return process;
}

bool SameSession(DWORD processId) {
    DWORD own = 0, other = 0;
    return ::ProcessIdToSessionId(::GetCurrentProcessId(), &own) && ::ProcessIdToSessionId(processId, &other) &&
           own == other;
}

}  // namespace

void PlaySoundFile(const wchar_t* path) {
    const std::wstring player = PlayerPath();
    if (!path) return;
    if (player.empty()) {
        base::LogLine(L"sound", L"the player's folder is unknown; not started");
        return;
    }
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = player.c_str();
    info.lpParameters = path;
    info.nShow = SW_HIDE;
    if (!::ShellExecuteExW(&info)) {
        base::LogFailedCall((L"sound " + player).c_str(), L"ShellExecuteExW");
        return;
    }
    std::lock_guard<std::mutex> hold(PlayerLock());
    StartedPlayer().Reset(info.hProcess);
    if (info.hProcess) RecordPlayer(info.hProcess);
}

DWORD FindSoundHelperProcess() {
    base::FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
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

// Only a player of Corvalle's own is stopped: the one this copy started, or
// else the one a previous copy recorded. A player of another program (the
// settings program's ring preview) has the same name and plays on.
bool StopSoundHelper() {
    std::lock_guard<std::mutex> hold(PlayerLock());
    base::Process& started = StartedPlayer();
    base::Process process(started ? started.Detach() : OpenRecordedPlayer().Detach());
    if (!process) return false;
    ForgetRecordedPlayer();
    // One that has ended by itself leaves nothing to stop.
    return ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT && ::TerminateProcess(process.Get(), 0) != FALSE;
}

int RunDownloader(const std::wstring& url, DWORD timeoutMs) {
    const std::wstring player = PlayerPath();
    if (player.empty()) {
        base::LogLine(L"download", L"the player's folder is unknown; not started");
        return -1;
    }
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = player.c_str();
    info.lpParameters = url.c_str();
    info.nShow = SW_HIDE;
    if (!::ShellExecuteExW(&info) || !info.hProcess) {
        base::LogFailedCall((L"download " + player).c_str(), L"ShellExecuteExW");
        return -1;
    }
    base::Process process(info.hProcess);
    if (::WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0) {
        // A server that never answers must not hold the reminders up.
        ::TerminateProcess(process.Get(), static_cast<UINT>(-1));
        return -1;
    }
    DWORD code = 0;
    if (!::GetExitCodeProcess(process.Get(), &code)) return -1;
    return static_cast<int>(code);
}

}  // namespace companion
