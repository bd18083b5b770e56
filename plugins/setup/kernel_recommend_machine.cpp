#include "plugins/setup/kernel_recommend_machine.h"

#include <cwchar>

#include "plugins/common/kernel_calls.h"
#include "plugins/setup/recommend_config.h"
#include "plugins/setup/setup_kernel_slots.h"

namespace k = bex::kernel;
using plugin::CallSlot;
using bex::PluginRef;

std::wstring KernelRecommendMachine::ConfigFilePath() { return LocateRecommendConfig(); }

bool KernelRecommendMachine::OpenSoftwareQuery() {
    query_.Reset();
    if (FAILED(plugin::CreateKernelObject(k::kSoftware, query_))) return false;
    CallSlot<int>(query_.Get(), setup_slots::software::kBegin);
    CallSlot<int>(query_.Get(), setup_slots::software::kPrepare);
    return true;
}

bool KernelRecommendMachine::IsSoftwarePresent(uint32_t softId) {
    if (!query_) return false;
    return CallSlot<int>(query_.Get(), setup_slots::software::kIsPresent, softId, 1, 0, 0, 0, 0, 0) != 0;
}

bool KernelRecommendMachine::CollectInstalledKeys(std::set<std::wstring>* keys) {
    PluginRef<> list;
    if (FAILED(plugin::CreateKernelObject(k::kItemList, list))) return false;
    namespace s = setup_slots::item_list;
    int count = CallSlot<int>(list.Get(), s::kCount);
    if (count == 0) {
        CallSlot<int>(list.Get(), s::kRefresh);
        count = CallSlot<int>(list.Get(), s::kCount);
    }
    for (int i = 0; i < count; ++i) {
        PluginRef<> entry;
        if (CallSlot<int>(list.Get(), s::kEntry, i, entry.PutPlugin()) < 0) {
            entry.Detach();  // a failure hands over nothing
            continue;
        }
        if (!entry) continue;
        const wchar_t* text = CallSlot<const wchar_t*>(entry.Get(), s::kEntryText);
        if (text) keys->insert(text);
    }
    return true;
}

std::vector<std::wstring> KernelRecommendMachine::ExecutablePaths() {
    std::vector<std::wstring> paths;
    PluginRef<> list;
    if (FAILED(plugin::CreateKernelObject(k::kEntryList, list))) return paths;
    namespace s = setup_slots::entry_list;
    const int count = CallSlot<int>(list.Get(), s::kCount);
    for (int i = 0; i < count; ++i) {
        wchar_t path[s::kPathChars] = {};
        DWORD extra = 0;
        if (CallSlot<int>(list.Get(), s::kEntry, i, path, &extra) < 0) continue;
        path[s::kPathChars - 1] = L'\0';
        paths.emplace_back(path);
    }
    return paths;
}
