// The main of the test programs that read or write the user's data folder
// (Corvalle.ini, the unpacked skin): before any test runs, the process is
// pointed at a folder inside its own work folder, so these programs keep off
// the prefix's one per-user folder and can run beside each other.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "base/app_data_folder.h"
#include "tests/support/work_dir.h"

int main(int argc, char** argv) {
    const std::wstring folder = testsupport::WorkDir() + L"AppData";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    base::SetAppDataFolderOverride(folder);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
