#include "plugins/setup/desktop_profile.h"

#include <windows.h>
#include <shlobj.h>

#include "plugins/setup/setup_folders.h"

namespace setup {

namespace {

const wchar_t* const kProgramFileNames[] = {L"Zubdesktop.ini",  L"ZubDtsc.ini",     L"Skin",         L"Zubwapp.exe",
                                            L"MiniAppdata.xdb", L"UpgradeData.xdb", L"AppSCProc.ini"};
const wchar_t* const kDataFileNames[] = {
    L"Skin",          L"Config.ini",         L"webapps.ini",   L"Config.Xdb",        L"MiniAppdata.xdb",
    L"Config.nxdb",   L"HandlerDelFlag.ini", L"Pellor.db",     L"PellorCfg.db",      L"DtUpdateConfig.ini",
    L"AppDataStorage.db", L"updateapptips.ini", L"SCDUP",      L"import.fg",         L"CategoryIcon",
    L"WebAppPath.ini", L"Temp\\"};

// The data folder exists as a folder afterwards: a file of its name is
// taken away first.
std::wstring PrepareDataFolder() {
    const std::wstring folder = JoinPath(ShellFolder(CSIDL_APPDATA), L"ZubDesktop");
    if (folder.empty()) return folder;
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(folder.c_str());
    }
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

}  // namespace

static_assert(sizeof(kProgramFileNames) / sizeof(kProgramFileNames[0]) == 7, "program names");
static_assert(sizeof(kDataFileNames) / sizeof(kDataFileNames[0]) == 17, "data names");

CProfile::CProfile() {
    const std::wstring program = HostFolder();
    const std::wstring data = PrepareDataFolder();
    programFiles_ = ShellFolder(CSIDL_PROGRAM_FILES);
    for (int i = 0; i < kProgramNames; ++i) programFile_[i] = JoinPath(program, kProgramFileNames[i]);
    for (int i = 0; i < kDataNames; ++i) dataFile_[i] = JoinPath(data, kDataFileNames[i]);
}

const CProfile& GetProfile() {
    // Made once even when several threads ask first (the compiler guards
    // the initialisation of a local static).
    static const CProfile profile;
    return profile;
}

}  // namespace setup
