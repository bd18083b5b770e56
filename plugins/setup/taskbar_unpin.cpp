#include "plugins/setup/taskbar_unpin.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "plugins/common/kernel_calls.h"
#include "plugins/setup/setup_folders.h"
#include "plugins/setup/setup_options.h"

namespace setup {

namespace {

// Systems without the verb fail the call, which is harmless.
void TaskbarUnpin(const wchar_t* path) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"taskbarunpin";
    info.lpFile = path;
    info.nShow = SW_HIDE;
    ::ShellExecuteExW(&info);
}

}  // namespace

void UnpinTaskbarIcon() {
    protocol::PluginRef<protocol::kernel::Options> options;
    if (FAILED(plugin::CreateKernelObject(options))) return;
    const auto recorded = OptionPath(options.Get(), L"Options\\PinWin7TaskBarIcon");
    if (!recorded) return;
    const size_t slash = recorded->find_last_of(L'\\');
    if (slash == std::wstring::npos) return;
    const std::wstring path = JoinPath(FolderOf(*recorded), recorded->c_str() + slash + 1);
    if (!path.empty()) TaskbarUnpin(path.c_str());
}

}  // namespace setup
