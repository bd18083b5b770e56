#include "base/module_path.h"

#include <vector>

namespace base {

std::wstring ModuleFilePath(HMODULE module, DWORD capacity) {
    if (capacity == 0) return std::wstring();
    std::vector<wchar_t> path(capacity);
    const DWORD length = ::GetModuleFileNameW(module, path.data(), capacity);
    if (length == 0 || length >= capacity) return std::wstring();
    return std::wstring(path.data(), length);
}

std::wstring ModuleFolder(HMODULE module, DWORD capacity) {
    const std::wstring path = ModuleFilePath(module, capacity);
    const size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

}  // namespace base
