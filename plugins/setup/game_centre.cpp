#include "plugins/setup/game_centre.h"

#include <windows.h>
#include <shlwapi.h>

#include <vector>

#include "plugins/setup/desktop_shortcuts.h"
#include "plugins/setup/setup_folders.h"
#include "protocol/outside_exports.h"

namespace setup {

std::wstring GetFileVersionText(const wchar_t* path) {
    if (!path || !path[0]) return std::wstring();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return std::wstring();
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(path, 0, size, block.data())) return std::wstring();
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\", &value, &length) || !value || length < sizeof(VS_FIXEDFILEINFO))
        return std::wstring();
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    if (info->dwSignature != 0xFEEF04BD) return std::wstring();
    wchar_t text[64] = {};
    ::_snwprintf(text, 63, L"%d.%d.%d.%d", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                  HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    return text;
}

void UpgradeGameCentre() {
    const std::wstring program = ManagerFile(L"Tolvane.exe");
    if (program.empty() || !::PathFileExistsW(program.c_str())) return;
    const std::wstring version = GetFileVersionText(program.c_str());
    const std::wstring data = ManagerFile(protocol::outside::kNessaryDataLibrary);
    const std::wstring dataVersion = GetFileVersionText(data.c_str());
    const bool renew = (version == L"1.0.0.1040" && dataVersion != L"2.1.2.1105") ||
                       ((version == L"1.0.0.1010" || version == L"1.0.0.1020" || version == L"1.0.0.1030") &&
                        dataVersion != L"2.0.2.1086");
    if (!renew) return;
    ReplaceGameCentreShortcut(program.c_str());
    ::DeleteFileW(program.c_str());
}

}  // namespace setup
