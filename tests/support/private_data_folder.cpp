// The main of the test programs that read or write the user's data folder
// (Corvalle.ini, the unpacked skin): before any test runs, the process is
// pointed at a folder inside its own work folder, so these programs keep off
// the prefix's one per-user folder and can run beside each other.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/app_data_folder.h"

namespace {

std::wstring WorkFolder() {
    const DWORD n = ::GetEnvironmentVariableW(L"TEST_WORK_DIR", nullptr, 0);
    if (n > 0) {
        std::vector<wchar_t> value(n);
        if (::GetEnvironmentVariableW(L"TEST_WORK_DIR", value.data(), n) < n) return value.data();
    }
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    return current;
}

}  // namespace

int main(int argc, char** argv) {
    std::wstring folder = WorkFolder();
    if (!folder.empty() && folder.back() != L'\\') folder.push_back(L'\\');
    folder += L"AppData";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    base::SetAppDataFolderOverride(folder);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
