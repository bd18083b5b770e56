#include "companion/actions/link_behaviors.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "base/path_join.h"
#include "base/log.h"
#include "protocol/program_names.h"
#include "protocol/window_messages.h"

namespace companion {

int CLinkBehavior::Execute(ILinkTargets& targets) {
    targets.PostToMainWindow(WM_COMMAND, kCommandOpenGeneralSettings, 0);
    return 1;
}

int CRestLinkBehavior::Execute(ILinkTargets& targets) {
    targets.PostToMainWindow(protocol::WM_SHOW_NECK_EXERCISE, 0, 0);
    targets.ReplaceShownTipText(L"你的显示器没有坏哦，看完屏幕上这段话~");
    return 1;
}

int CAFRestLinkBehavior::Execute(ILinkTargets& targets) {
    targets.PostToMainWindow(protocol::WM_SHOW_EYE_EXERCISE, 0, 0);
    targets.ReplaceShownTipText(L"坚持做完眼保健操哦");
    return 1;
}

std::wstring CProductFunctionLink::ProductPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();  // none, or cut short
    ::PathRemoveFileSpecW(path);
    ::PathRemoveFileSpecW(path);
    return base::JoinPath(path, protocol::kSecurityProgram);
}

int CProductFunctionLink::Execute(ILinkTargets&) {
    const std::wstring product = ProductPath();
    if (product.empty()) {
        base::LogLine(L"tip link", L"the security product's path cannot be built; not started");
        return 1;
    }
    const std::wstring parameters = std::wstring(L"/funname=") + functionName_;
    const HINSTANCE started = ::ShellExecuteW(nullptr, L"open", product.c_str(), parameters.c_str(), nullptr,
                                              SW_SHOWNORMAL);
    // The shell's old convention: a result above 32 is success.
    if (reinterpret_cast<INT_PTR>(started) <= 32) base::LogFailedCall((L"tip link " + product).c_str(), L"ShellExecuteW");
    return 1;
}

CTrashCleanLinkBehavior::CTrashCleanLinkBehavior() : CProductFunctionLink(L"trashclean") {}
CSysDiskCheckLinkBehavior::CSysDiskCheckLinkBehavior() : CProductFunctionLink(L"sysdiskclean") {}
CCheckRunBehavior::CCheckRunBehavior() : CProductFunctionLink(L"startupspeedup") {}

}  // namespace companion
