#include "tests/doubles/kernel/plugin_registry.h"

#include <map>
#include <vector>

#include "base/module_exports.h"
#include "tests/doubles/kernel/kernel_state.h"

namespace standin {

namespace {

struct PluginClass {
    protocol::PluginFactoryFn factory;
    uint32_t flags;
};

std::map<uint32_t, PluginClass>& Classes() {
    static auto* classes = new std::map<uint32_t, PluginClass>;
    return *classes;
}

// Shared objects in the order they were made.
std::vector<std::pair<uint32_t, IBexPlugin*>>& Shared() {
    static auto* shared = new std::vector<std::pair<uint32_t, IBexPlugin*>>;
    return *shared;
}

IBexPlugin* FindShared(uint32_t classId) {
    for (const auto& [id, object] : Shared())
        if (id == classId) return object;
    return nullptr;
}

HRESULT ReadTable(HMODULE module) {
    const auto* header = base::Export<const protocol::PluginTableHeader*>(module, protocol::kTableExportName);
    if (!header) return E_FAIL;
    if (header->magic != protocol::kTableMagic || header->reserved[0] || header->reserved[1] || header->reserved[2])
        return E_FAIL;
    const auto* entry = reinterpret_cast<const protocol::PluginEntry*>(header + 1);
    KernelLock lock;
    for (; entry->classId || entry->factory || entry->className || entry->flags; ++entry) {
        if (!entry->factory) return E_FAIL;
        Classes()[entry->classId] = PluginClass{entry->factory, entry->flags};
    }
    return S_OK;
}

}  // namespace

HRESULT LoadPlugin(const wchar_t* path) {
    HRESULT hr = E_INVALIDARG;
    if (path) {
        // Kept loaded for the life of the process, as the plug-in's objects
        // may be anywhere.
        const HMODULE module = ::LoadLibraryW(path);
        hr = module ? ReadTable(module) : E_FAIL;
    }
    Log(L"load " + std::wstring(path ? path : L"") + L" " + Hex(static_cast<uint32_t>(hr)));
    return hr;
}

HRESULT CreatePluginObject(uint32_t classId, IBexPlugin** out) {
    KernelLock lock;
    const auto found = Classes().find(classId);
    if (found == Classes().end()) return S_FALSE;
    const bool shared = (found->second.flags & protocol::kFlagsShared) == protocol::kFlagsShared;
    if (shared) {
        if (IBexPlugin* object = FindShared(classId)) {
            object->AddRef();
            *out = object;
            return S_OK;
        }
    }
    const HRESULT hr = found->second.factory(out);
    if (FAILED(hr)) {
        *out = nullptr;
        return hr;
    }
    if (shared && *out) Shared().emplace_back(classId, *out);
    return hr;
}

int ReleaseSharedObjects() {
    std::vector<std::pair<uint32_t, IBexPlugin*>> shared;
    {
        KernelLock lock;
        shared.swap(Shared());
    }
    // Newest first: a wrapper made after its inner object lets go of it
    // before the inner object's own final release.
    for (auto it = shared.rbegin(); it != shared.rend(); ++it) it->second->Release();
    return static_cast<int>(shared.size());
}

}  // namespace standin
