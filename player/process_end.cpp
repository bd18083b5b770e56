#include "player/process_end.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <vector>

#include "base/handles.h"

namespace player {

namespace {

// How long the thread list must stay the same, and how long Piravel waits
// for that at most: a library that keeps starting threads delays the end by
// no more than this.
constexpr DWORD kSettledMs = 100;
constexpr DWORD kLongestWaitMs = 3000;
constexpr DWORD kLookEveryMs = 10;

// Ids of this process's threads other than the calling one, sorted.
std::vector<DWORD> OtherThreads() {
    std::vector<DWORD> ids;
    const base::FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return ids;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    const DWORD process = ::GetCurrentProcessId(), self = ::GetCurrentThreadId();
    for (BOOL more = ::Thread32First(snapshot.Get(), &entry); more; more = ::Thread32Next(snapshot.Get(), &entry))
        if (entry.th32OwnerProcessID == process && entry.th32ThreadID != self) ids.push_back(entry.th32ThreadID);
    std::sort(ids.begin(), ids.end());
    return ids;
}

void WaitUntilThreadsSettle() {
    const DWORD start = ::GetTickCount();
    std::vector<DWORD> seen = OtherThreads();
    DWORD unchangedSince = start;
    while (::GetTickCount() - start < kLongestWaitMs) {
        ::Sleep(kLookEveryMs);
        std::vector<DWORD> now = OtherThreads();
        if (now != seen) {
            seen = std::move(now);
            unchangedSince = ::GetTickCount();
        } else if (::GetTickCount() - unchangedSince >= kSettledMs) {
            return;
        }
    }
}

}  // namespace

// A sound that has played to its end leaves the multimedia libraries
// starting and stopping threads of their own (the mixer, the device timer, a
// worker), and a failed open leaves one ending. Under Wine a process ended
// while one of its threads is still starting can crash in that thread
// (a segmentation fault, exit code 139, instead of the answer); on a loaded
// machine that happened about once in ten plays. So the end waits until the
// list of threads has stayed the same for a moment, then ends everything at
// once: the libraries' own detach code would only stop the same threads
// again, and nothing of Piravel's is left to flush (a download is complete
// and closed before this).
void EndProcessWith(int code) {
    WaitUntilThreadsSettle();
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(code));
    ::ExitProcess(static_cast<UINT>(code));  // only when ending at once was refused
}

}  // namespace player
