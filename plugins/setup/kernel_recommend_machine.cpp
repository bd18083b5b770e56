#include "plugins/setup/kernel_recommend_machine.h"

#include <cwchar>

#include "plugins/common/kernel_calls.h"
#include "plugins/setup/recommend_config.h"

namespace setup {

namespace k = protocol::kernel;
using protocol::PluginRef;

std::wstring KernelRecommendMachine::ConfigFilePath() { return LocateRecommendConfig(); }

bool KernelRecommendMachine::OpenSoftwareQuery() {
    query_.Reset();
    if (FAILED(plugin::CreateKernelObject(query_))) return false;
    protocol::Call(k::software::kBegin, query_.Get());
    protocol::Call(k::software::kPrepare, query_.Get());
    return true;
}

bool KernelRecommendMachine::IsSoftwarePresent(uint32_t softId) {
    if (!query_) return false;
    return protocol::Call(k::software::kIsPresent, query_.Get(), softId, 1, 0, 0, 0, 0, 0) != 0;
}

bool KernelRecommendMachine::CollectInstalledKeys(std::set<std::wstring>* keys) {
    PluginRef<k::ItemList> list;
    if (FAILED(plugin::CreateKernelObject(list))) return false;
    namespace s = k::item_list;
    int count = protocol::Call(s::kCount, list.Get());
    if (count == 0) {
        protocol::Call(s::kRefresh, list.Get());
        count = protocol::Call(s::kCount, list.Get());
    }
    for (int i = 0; i < count; ++i) {
        s::Entry* raw = nullptr;
        const int result = protocol::Call(s::kEntry, list.Get(), i, &raw);
        const PluginRef<s::Entry> entry = protocol::Handed(result >= 0, raw);
        if (!entry) continue;
        const wchar_t* text = protocol::Call(s::kEntryText, entry.Get());
        if (text) keys->insert(text);
    }
    return true;
}

std::vector<std::wstring> KernelRecommendMachine::ExecutablePaths() {
    std::vector<std::wstring> paths;
    PluginRef<k::EntryList> list;
    if (FAILED(plugin::CreateKernelObject(list))) return paths;
    namespace s = k::entry_list;
    const int count = protocol::Call(s::kCount, list.Get());
    for (int i = 0; i < count; ++i) {
        wchar_t path[s::kPathChars] = {};
        DWORD extra = 0;
        if (protocol::Call(s::kEntry, list.Get(), i, path, &extra) < 0) continue;
        path[s::kPathChars - 1] = L'\0';
        paths.emplace_back(path);
    }
    return paths;
}

}  // namespace setup
