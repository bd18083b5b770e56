#include "companion/system/settings_launcher.h"

#include <shellapi.h>

#include "base/log.h"
#include "base/path_join.h"
#include "companion/system/paths.h"
#include "protocol/program_names.h"

namespace companion {

const wchar_t* LaunchVerb(const std::wstring& parameters, DWORD version) {
    const bool nt = (version & 0x80000000u) == 0;
    const DWORD major = version & 0xFFu;
    if (nt && major > 5 && (parameters == protocol::kSettingsPageGeneral || parameters == protocol::kSettingsPageEye)) return L"runas";
    return L"open";
}

bool StartProgramForPage(const std::wstring& program, const std::wstring& parameters) {
    if (program.empty()) return false;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // A start that fails is not reported: without this the shell would put
    // up its own modal error box and hold the mascot's thread.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = LaunchVerb(parameters, ::GetVersion());
    info.lpFile = program.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOW;
    if (::ShellExecuteExW(&info)) return true;
    base::LogFailedCall((L"start " + program + L" " + parameters).c_str(), L"ShellExecuteExW");
    return false;
}

std::wstring SettingsProgramPath() {
    std::wstring dir;
    return GetExeDir(dir) ? base::JoinPath(dir, protocol::kSettingsProgram) : std::wstring();
}

bool StartSettingsProgram(const wchar_t* page) {
    const std::wstring program = SettingsProgramPath();
    if (program.empty()) {
        base::LogLine(L"settings program", L"its folder is unknown; not started");
        return false;
    }
    return StartProgramForPage(program, page ? page : L"");
}

}  // namespace companion
