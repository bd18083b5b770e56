#include "plugins/setup/setup_options.h"

#include <cwchar>

#include "protocol/kernel_calls.h"

namespace setup {

std::optional<std::wstring> OptionPath(protocol::kernel::Options* options, const wchar_t* key) {
    std::optional<std::wstring> value = protocol::OptionText(options, key);
    if (value && value->size() >= MAX_PATH) return std::nullopt;
    return value;
}

DWORD OptionNumberOr(protocol::kernel::Options* options, const wchar_t* key, DWORD first) {
    if (const std::optional<DWORD> value = protocol::OptionNumber(options, key)) return *value;
    protocol::SetOptionNumber(options, key, first);
    return first;
}

std::wstring DownloadFolder(protocol::kernel::Downloads* downloads) {
    if (!downloads) return std::wstring();
    const wchar_t* folder = protocol::Call(protocol::kernel::downloads::kFolder, downloads);
    if (!folder) return std::wstring();
    const size_t length = wcsnlen(folder, MAX_PATH);
    return length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

}  // namespace setup
