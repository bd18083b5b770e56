#include "settings/pages/RingPreview.h"

#include "base/log.h"
#include "protocol/program_names.h"
#include "settings/model/GlobalFuncs.h"
#include "settings/model/TimerList.h"

namespace settings {

namespace {

constexpr DWORD kStopWaitMs = 2000;

}  // namespace

TRingPreview::~TRingPreview() {
    Stop();
}

bool TRingPreview::Play(const std::wstring& path) {
    Stop();
    if (path.empty() || !FileHasExtension(path, kSoundExtensions)) return false;
    const std::wstring player = Player.empty() ? ExeFolder() + protocol::kPlayerProgram : Player;
    std::wstring command = L"\"" + player + L"\" \"" + path + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        base::LogFailedCall(L"ring preview", L"CreateProcessW");
        return false;
    }
    base::Thread thread(pi.hThread);
    process_.Reset(pi.hProcess);
    processId_ = pi.dwProcessId;
    return true;
}

void TRingPreview::Stop() {
    if (process_) {
        if (::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(process_.Get(), 0);
            ::WaitForSingleObject(process_.Get(), kStopWaitMs);
        }
        process_.Reset();
    }
    processId_ = 0;
}

DWORD TRingPreview::ProcessId() const {
    return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT ? processId_ : 0;
}

}  // namespace settings
