#include "base/module_path.h"
#include "base/text.h"

#include <gtest/gtest.h>

namespace {

TEST(BaseModulePath, ProgramPathAndFolder) {
    const std::wstring path = base::ModuleFilePath();
    ASSERT_FALSE(path.empty());
    EXPECT_NE(std::wstring::npos, path.find(L"base_unit_tests.exe"));
    const std::wstring folder = base::ModuleFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(L'\\', folder.back());
    EXPECT_EQ(0u, path.find(folder));
    EXPECT_EQ(path, base::ModuleFilePath(nullptr, base::kLongPathCapacity));
}

TEST(BaseModulePath, TooSmallACapacityGivesNothing) {
    const std::wstring path = base::ModuleFilePath();
    const DWORD exact = static_cast<DWORD>(path.size());
    EXPECT_EQ(L"", base::ModuleFilePath(nullptr, exact));  // no room for the terminator
    EXPECT_EQ(path, base::ModuleFilePath(nullptr, exact + 1));
    EXPECT_EQ(L"", base::ModuleFolder(nullptr, 0));
    EXPECT_EQ(L"", base::ModuleFilePath(reinterpret_cast<HMODULE>(0x10)));  // no such module
}

TEST(BaseModulePath, ModuleOtherThanTheProgram) {
    const std::wstring kernel = base::ModuleFilePath(::GetModuleHandleW(L"kernel32.dll"));
    EXPECT_NE(std::wstring::npos, base::LowerCase(kernel).find(L"kernel32.dll"));
}

}  // namespace
