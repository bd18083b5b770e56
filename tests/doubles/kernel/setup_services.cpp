// Class 23 (shortcut), as the setup plug-in asks it. Classes 10 and 40,
// which the catalogue asks too, are in catalog_services.cpp.
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "protocol/bex_kernel.h"
#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"

namespace standin {

namespace k = protocol::kernel;

namespace {

struct Plain : ServiceObject {};

// The link's target as the shell reads it; [shortcut] fail=1 refuses.
int BEX_CALL ShortcutTarget(k::Shortcut*, const wchar_t* path, k::String** target) {
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

}  // namespace

IBexPlugin* MakeShortcut() {
    static const SlotTable<k::shortcut::Of> table = [] {
        SlotTable<k::shortcut::Of> t;
        t.Set(k::shortcut::kTarget, &ShortcutTarget);
        return t;
    }();
    return HandOut(NewServiceObject<Plain>(table, k::kShortcut));
}

}  // namespace standin
