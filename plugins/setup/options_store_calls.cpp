#include "plugins/setup/options_store_calls.h"

#include <cwchar>

#include "plugins/common/kernel_calls.h"

namespace k = bex::kernel;

std::optional<DWORD> OptionNumber(IBexPlugin* options, const wchar_t* key) {
    if (!options) return std::nullopt;
    DWORD value = 0;
    if (bex::Call(k::options::kGetNumber, options, key, &value) == 0) return std::nullopt;
    return value;
}

bool SetOptionNumber(IBexPlugin* options, const wchar_t* key, DWORD value) {
    return options && bex::Call(k::options::kSetNumber, options, key, value) != 0;
}

std::optional<std::wstring> OptionText(IBexPlugin* options, const wchar_t* key) {
    if (!options) return std::nullopt;
    bex::PluginRef<> text;
    if (bex::Call(k::options::kGetText, options, key, text.PutPlugin()) == 0 || !text) return std::nullopt;
    std::optional<std::wstring> value = bex::StringText(text.Get());
    if (value && value->size() >= MAX_PATH) return std::nullopt;
    return value;
}

bool SetOptionText(IBexPlugin* options, const wchar_t* key, const wchar_t* text) {
    return options && bex::Call(k::options::kSetText, options, key, text) != 0;
}

DWORD OptionNumberOr(IBexPlugin* options, const wchar_t* key, DWORD first) {
    if (const std::optional<DWORD> value = OptionNumber(options, key)) return *value;
    SetOptionNumber(options, key, first);
    return first;
}

std::wstring DownloadFolder(IBexPlugin* downloads) {
    if (!downloads) return std::wstring();
    const wchar_t* folder = bex::Call(k::downloads::kFolder, downloads);
    if (!folder) return std::wstring();
    const size_t length = wcsnlen(folder, MAX_PATH);
    return length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}
