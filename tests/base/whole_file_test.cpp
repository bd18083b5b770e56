#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base/whole_file.h"
#include "base/handles.h"

namespace {

// A file of `size` bytes (sparse: nothing is written).
std::wstring FileOfSize(const wchar_t* name, LONGLONG size) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + name;
    base::FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    LARGE_INTEGER at{};
    at.QuadPart = size;
    EXPECT_TRUE(file.Valid() && ::SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) && ::SetEndOfFile(file.Get()));
    return path;
}

TEST(WholeFileTest, AFileOverTheCapIsRefusedWhole) {
    const struct {
        LONGLONG size;
        size_t cap;  // 0: the default cap
        bool read;
    } cases[] = {
        {10, 10, true},
        {11, 10, false},
        {base::kWholeFileMaxBytes + 1, 0, false},
    };
    for (const auto& c : cases) {
        const std::wstring path = FileOfSize(L"whole-file-test.bin", c.size);
        std::string bytes = "old";
        const bool read =
            c.cap ? base::ReadWholeFile(path.c_str(), bytes, c.cap) : base::ReadWholeFile(path.c_str(), bytes);
        EXPECT_EQ(read, c.read) << c.size;
        EXPECT_EQ(bytes.size(), c.read ? static_cast<size_t>(c.size) : 0u);
        ::DeleteFileW(path.c_str());
    }
}

}  // namespace
