#include "protocol/kernel_location.h"

#include <windows.h>

#include <vector>

#include "base/app_paths.h"
#include "base/path_join.h"
#include "protocol/program_names.h"

namespace protocol {

namespace {

constexpr DWORD kExpandCapacity = 4096;

}  // namespace

std::wstring KernelBesideSecurityProduct() {
    const std::wstring program = base::ReadTarviskAppPath();
    const size_t cut = program.find_last_of(L'\\');
    if (cut == std::wstring::npos) return std::wstring();
    const std::wstring folder = program.substr(0, cut + 1);
    std::vector<wchar_t> expanded(kExpandCapacity, L'\0');
    const DWORD length = ::ExpandEnvironmentStringsW(folder.c_str(), expanded.data(), kExpandCapacity);
    if (length == 0 || length > kExpandCapacity) return std::wstring();
    const std::wstring relative = std::wstring(kManagerFolderName) + L"\\" + kKernelLibrary;
    return base::JoinPath(expanded.data(), relative.c_str());
}

}  // namespace protocol
