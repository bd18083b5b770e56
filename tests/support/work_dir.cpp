#include "tests/support/work_dir.h"

#include <windows.h>

#include <vector>

namespace testsupport {

std::wstring WorkDir() {
    std::wstring dir;
    const DWORD n = ::GetEnvironmentVariableW(L"TEST_WORK_DIR", nullptr, 0);
    if (n > 0) {
        std::vector<wchar_t> value(n);
        if (::GetEnvironmentVariableW(L"TEST_WORK_DIR", value.data(), n) < n) dir = value.data();
    }
    if (dir.empty()) {
        wchar_t current[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, current);
        dir = current;
    }
    if (!dir.empty() && dir.back() != L'\\') dir.push_back(L'\\');
    return dir;
}

}  // namespace testsupport
