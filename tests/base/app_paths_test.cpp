// The security product's App Paths value as the plug-ins read it: bounded,
// terminated, and anything doubtful counts as missing.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>
#include <string>

#include "base/app_paths.h"
#include "tests/support/prefix_state.h"

namespace {

constexpr wchar_t kKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tarvisk.exe";

void Store(DWORD type, const void* data, DWORD bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, nullptr, 0, type, static_cast<const BYTE*>(data), bytes);
    ::RegCloseKey(key);
}

void StoreText(DWORD type, const std::wstring& text, bool terminated = true) {
    Store(type, text.c_str(), static_cast<DWORD>((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t)));
}

TEST(TarviskAppPath, OnlyAPlainBoundedTextCounts) {
    testsupport::RegValueBackup backup(HKEY_LOCAL_MACHINE, kKey, L"");
    const std::wstring path = L"C:\\Tarvisk\\tarvisk.exe";

    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueW(key, nullptr);
        ::RegCloseKey(key);
    }
    EXPECT_EQ(base::ReadTarviskAppPath(), L"") << "missing";

    StoreText(REG_SZ, path);
    EXPECT_EQ(base::ReadTarviskAppPath(), path);
    StoreText(REG_EXPAND_SZ, L"%BEXROOT%\\tarvisk.exe");
    ::SetEnvironmentVariableW(L"BEXROOT", L"C:\\Tarvisk");
    EXPECT_EQ(base::ReadTarviskAppPath(), path) << "expanded";
    ::SetEnvironmentVariableW(L"BEXROOT", nullptr);
    StoreText(REG_SZ, path, false);
    EXPECT_EQ(base::ReadTarviskAppPath(), path) << "unterminated";

    const DWORD number = 7;
    Store(REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(base::ReadTarviskAppPath(), L"") << "another type";
    StoreText(REG_SZ, L"\"" + path + L"\"");
    EXPECT_EQ(base::ReadTarviskAppPath(), L"") << "quoted";

    const std::wstring longest = L"C:\\" + std::wstring(253, L'a') + L".ex";  // 259 characters
    StoreText(REG_SZ, longest);
    EXPECT_EQ(base::ReadTarviskAppPath(), longest);
    StoreText(REG_SZ, longest + L"e");
    EXPECT_EQ(base::ReadTarviskAppPath(), L"") << "260 characters";
    StoreText(REG_SZ, longest + L"e", false);
    EXPECT_EQ(base::ReadTarviskAppPath(), L"") << "260 characters, unterminated";
}

// Whatever is built on either value is loaded or started: only a value that
// names one place whatever the current folder and drive counts.
TEST(TarviskAppPath, BothValuesRefuseWhatTheCurrentFolderWouldComplete) {
    testsupport::RegValueBackup program(HKEY_LOCAL_MACHINE, kKey, L"");
    testsupport::RegValueBackup folder(HKEY_LOCAL_MACHINE, kKey, L"Path");
    ::SetEnvironmentVariableW(L"BEXROOT", L"C:\\Root");
    ::SetEnvironmentVariableW(L"BEXRELATIVE", L"Root");
    const struct {
        DWORD type;
        const wchar_t* value;
        const wchar_t* read;
    } cases[] = {
        {REG_SZ, L"C:\\T\\tarvisk.exe", L"C:\\T\\tarvisk.exe"},
        {REG_SZ, L"\\\\server\\share\\T\\", L"\\\\server\\share\\T\\"},
        {REG_EXPAND_SZ, L"%BEXROOT%\\T\\", L"C:\\Root\\T\\"},
        {REG_SZ, L"T\\tarvisk.exe", L""},
        {REG_SZ, L"..\\T\\", L""},
        {REG_SZ, L"C:T\\tarvisk.exe", L""},
        {REG_SZ, L"C:", L""},
        {REG_SZ, L"\\T\\tarvisk.exe", L""},
        {REG_SZ, L"%BEXROOT%\\T\\", L""},
        {REG_EXPAND_SZ, L"%BEXRELATIVE%\\T\\", L""},
        {REG_SZ, L"", L""},
    };
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const auto& c : cases) {
        const DWORD bytes = static_cast<DWORD>((std::wcslen(c.value) + 1) * sizeof(wchar_t));
        for (const wchar_t* name : {static_cast<const wchar_t*>(nullptr), L"Path"})
            ::RegSetValueExW(key, name, 0, c.type, reinterpret_cast<const BYTE*>(c.value), bytes);
        EXPECT_EQ(base::ReadTarviskAppPath(), c.read) << testsupport::Narrow(c.value);
        EXPECT_EQ(base::ReadTarviskFolder(), c.read) << testsupport::Narrow(c.value);
    }
    ::RegCloseKey(key);
    ::SetEnvironmentVariableW(L"BEXROOT", nullptr);
    ::SetEnvironmentVariableW(L"BEXRELATIVE", nullptr);
}

}  // namespace
