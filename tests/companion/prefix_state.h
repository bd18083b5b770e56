// The companion's own prefix helpers, beside the shared ones.
#pragma once

#include "companion/system/shared_settings.h"
#include "tests/support/prefix_state.h"

inline bool EnsureConfigFolder() {
    std::wstring dir;
    if (!companion::GetAppDataDir(dir)) return false;
    dir += L"tarvisk";
    return ::CreateDirectoryW(dir.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}
