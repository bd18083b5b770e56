#include "plugins/setup/options_store_calls.h"

#include <cwchar>

#include "plugins/common/kernel_calls.h"

namespace k = bex::kernel;
using plugin::CallSlot;

std::optional<DWORD> OptionNumber(IBexPlugin* options, const wchar_t* key) {
    if (!options) return std::nullopt;
    DWORD value = 0;
    if (CallSlot<int>(options, k::options::kGetNumber, key, &value) == 0) return std::nullopt;
    return value;
}

bool SetOptionNumber(IBexPlugin* options, const wchar_t* key, DWORD value) {
    return options && CallSlot<int>(options, k::options::kSetNumber, key, value) != 0;
}

std::optional<std::wstring> OptionText(IBexPlugin* options, const wchar_t* key) {
    if (!options) return std::nullopt;
    bex::PluginRef<> text;
    if (CallSlot<int>(options, k::options::kGetText, key, text.PutPlugin()) == 0 || !text) return std::nullopt;
    std::optional<std::wstring> value = plugin::StringText(text.Get());
    if (value && value->size() >= MAX_PATH) return std::nullopt;
    return value;
}

bool SetOptionText(IBexPlugin* options, const wchar_t* key, const wchar_t* text) {
    return options && CallSlot<int>(options, k::options::kSetText, key, text) != 0;
}

DWORD OptionNumberOr(IBexPlugin* options, const wchar_t* key, DWORD first) {
    if (const std::optional<DWORD> value = OptionNumber(options, key)) return *value;
    SetOptionNumber(options, key, first);
    return first;
}

std::wstring DownloadFolder(IBexPlugin* downloads) {
    if (!downloads) return std::wstring();
    const wchar_t* folder = CallSlot<const wchar_t*>(downloads, k::downloads::kFolder);
    if (!folder) return std::wstring();
    const size_t length = wcsnlen(folder, MAX_PATH);
    return length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}
