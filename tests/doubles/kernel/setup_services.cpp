// Classes 10 (system), 23 (shortcut) and 40 (environment), as the setup
// plug-in asks them, answering from the [system] and [environment]
// sections of the configuration.
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "protocol/bex_kernel.h"
#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"

namespace standin {

namespace k = bex::kernel;

namespace {

struct Plain : ServiceObject {};

// [system] code=<n> (default 10).
int BEX_CALL SystemQuery(IBexPlugin*, int query, IBexPlugin** text) {
    Log(L"10.6 " + std::to_wstring(query));
    if (text) *text = MakeStringWith(L"Windows (stand-in)");
    return ConfigInt(L"system", L"code", 10) & 0xFFFF;
}

// The link's target as the shell reads it; [shortcut] fail=1 refuses.
int BEX_CALL ShortcutTarget(IBexPlugin*, const wchar_t* path, IBexPlugin** target) {
    if (target) *target = nullptr;
    Log(std::wstring(L"23.5 ") + (path ? path : L"(null)"));
    if (!path || !target || ConfigInt(L"shortcut", L"fail", 0)) return -1;
    const HRESULT init = ::CoInitialize(nullptr);
    int result = -1;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t resolved[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(path, STGM_READ)) &&
                SUCCEEDED(link->GetPath(resolved, MAX_PATH, nullptr, SLGP_RAWPATH)) && resolved[0]) {
                *target = MakeStringWith(resolved);
                result = 0;
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) ::CoUninitialize();
    return result;
}

// [environment] managerFolder=<folder with its trailing backslash>.
int BEX_CALL EnvironmentManagerFolder(IBexPlugin*, IBexPlugin** folder) {
    if (!folder) return -1;
    *folder = MakeStringWith(Config(L"environment", L"managerFolder", L""));
    return 0;
}

}  // namespace

IBexPlugin* MakeSystem() {
    static const SlotTable table = [] {
        SlotTable t;
        t.Set(k::system_info::kQuery, &SystemQuery);
        return t;
    }();
    return HandOut(NewService<Plain>(table, k::kSystem));
}

IBexPlugin* MakeShortcut() {
    static const SlotTable table = [] {
        SlotTable t;
        t.Set(k::shortcut::kTarget, &ShortcutTarget);
        return t;
    }();
    return HandOut(NewService<Plain>(table, k::kShortcut));
}

IBexPlugin* MakeEnvironment() {
    static const SlotTable table = [] {
        SlotTable t;
        t.Set(k::environment::kManagerFolder, &EnvironmentManagerFolder);
        return t;
    }();
    return HandOut(NewService<Plain>(table, k::kEnvironment));
}

}  // namespace standin
