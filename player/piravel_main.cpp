// Piravel: plays one sound file to its end, or downloads one URL into the
// dated file in the temporary folder. Its whole answer is the exit code.
#include <windows.h>
#include <mmsystem.h>
#include <urlmon.h>
#include <wininet.h>

#include <string>

#include "base/log.h"
#include "base/path_join.h"
#include "player/download_watcher.h"
#include "player/player_job.h"
#include "player/process_end.h"

namespace player {

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = -1;

// A fault inside a platform call ends the program with the failure code
// instead of a crash dialog that would keep the process (and its caller's
// wait) alive.
LONG WINAPI EndOnFault(EXCEPTION_POINTERS*) {
    EndProcessWith(kFailure);
}

// What the multimedia library says of its own error number.
std::wstring MciErrorText(MCIERROR error) {
    wchar_t text[MAXERRORLENGTH] = {};
    if (!::mciGetErrorStringW(error, text, MAXERRORLENGTH)) return L"error " + std::to_wstring(error);
    return std::to_wstring(error) + L" " + text;
}

int Download(const std::wstring& url) {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD len = ::GetTempPathW(MAX_PATH, temp);
    // A folder too long for the buffer is a failure, not an unset folder;
    // without a folder nothing would be replaced by a fully qualified name.
    if (len == 0 || len > MAX_PATH) {
        if (len == 0) base::LogFailedCall(L"download", L"GetTempPathW");
        else base::LogLine(L"download", L"the temporary folder's path is too long");
        return kFailure;
    }
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const std::wstring file = DatedWeatherXml(std::wstring(temp, len), now);
    // The answer arrives under a name of its own beside the dated file and
    // replaces it only once accepted: a failed second download of the day
    // leaves the good answer saved earlier. The name is the same for every
    // run and nothing is created ahead of the download call: Corvalle ends a
    // download that takes too long from outside, and such a run leaves at
    // most this one file, which the next download removes first.
    const std::wstring part = base::JoinPath(std::wstring(temp, len), kPartialDownloadName);
    if (part.empty()) {
        base::LogLine(L"download", L"the temporary folder is not a full path");
        return kFailure;
    }
    ::DeleteFileW(part.c_str());
    ::DeleteUrlCacheEntryW(url.c_str());
    DownloadWatcher watcher;
    const HRESULT result = ::URLDownloadToFileW(nullptr, url.c_str(), part.c_str(), 0, &watcher);
    if (FAILED(result)) {
        base::LogFailedCall(L"download", L"URLDownloadToFileW", static_cast<DWORD>(result));
    } else if (!watcher.Accepts(part.c_str())) {
        const DWORD status = watcher.StatusCode();
        base::LogLine(L"download: the answer was not taken",
                      status != 0 && (status < 200 || status >= 300) ? L"the server answered " + std::to_wstring(status)
                                                                     : L"it failed on the way or was cut short");
    } else if (!::MoveFileExW(part.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        base::LogFailedCall(L"download: the answer was not saved as the dated file", L"MoveFileExW");
    } else {
        return kSuccess;
    }
    ::DeleteFileW(part.c_str());
    return kFailure;
}

int Play(const std::wstring& path) {
    MCI_OPEN_PARMSW open{};
    open.lpstrDeviceType = L"mpegvideo";
    open.lpstrElementName = path.c_str();
    const MCIERROR opened = ::mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT,
                                              reinterpret_cast<DWORD_PTR>(&open));
    if (opened != 0) {
        base::LogLine(L"play: the sound device was not opened", MciErrorText(opened));
        return kFailure;
    }
    MCI_PLAY_PARMS play{};
    const MCIERROR playError =
        ::mciSendCommandW(open.wDeviceID, MCI_PLAY, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&play));
    if (playError != 0) base::LogLine(L"play: the sound did not play", MciErrorText(playError));
    const bool played = playError == 0;
    // Closed before the end, also after a good play: a process that ends
    // with the device still open brings 64-bit Wine down in its exit, and
    // the play's success would read as a crash.
    MCI_GENERIC_PARMS close{};
    ::mciSendCommandW(open.wDeviceID, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&close));
    return played ? kSuccess : kFailure;
}

int RunJob(const wchar_t* commandLine) {
    const PlayerJob job = ParsePlayerJob(commandLine);
    switch (job.kind) {
    case PlayerJobKind::Download:
        return Download(job.target);
    case PlayerJobKind::Play:
        return Play(job.target);
    case PlayerJobKind::None:
        break;
    }
    base::LogLine(L"no sound file or address given");
    return kFailure;
}

}  // namespace

}  // namespace player

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    ::SetUnhandledExceptionFilter(player::EndOnFault);
    player::EndProcessWith(player::RunJob(commandLine));
}
