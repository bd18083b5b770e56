#include "plugins/setup/ad_id_file.h"

#include <gtest/gtest.h>

#include "tests/plugins/setup/setup_test_files.h"
#include "base/handles.h"

using namespace setup;

namespace {

using setuptest::ReadBytes;
using setuptest::RemoveFile;
using setuptest::WorkPath;
using setuptest::WriteBytes;

using Bytes = std::vector<uint8_t>;

TEST(AdIdFile, AppendKeepsWholeEntries) {
    const std::wstring path = WorkPath(L"adids.bin");
    ASSERT_TRUE(WriteBytes(path, {7, 0, 0, 0, 0xAA, 0xBB}));
    EXPECT_EQ(ReadAdIdFile(path.c_str()), (std::vector<uint32_t>{7}));
    EXPECT_TRUE(AppendAdIdToFile(path.c_str(), 9));
    EXPECT_EQ(ReadBytes(path), (Bytes{7, 0, 0, 0, 9, 0, 0, 0}));

    EXPECT_FALSE(AppendAdIdToFile(path.c_str(), 0));
    EXPECT_EQ(ReadBytes(path), (Bytes{7, 0, 0, 0, 9, 0, 0, 0}));
    EXPECT_FALSE(AppendAdIdToFile(nullptr, 5));

    const std::wstring fresh = WorkPath(L"fresh.bin");
    RemoveFile(fresh);
    EXPECT_TRUE(ReadAdIdFile(fresh.c_str()).empty());
    EXPECT_TRUE(AppendAdIdToFile(fresh.c_str(), 5));
    EXPECT_EQ(ReadBytes(fresh), (Bytes{5, 0, 0, 0}));
}

// The flags go with the old content only: a file that could not be
// replaced keeps both.
TEST(AdIdFile, ReadOnlyAndHiddenFilesAreMadeNormal) {
    const DWORD both = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    const struct {
        DWORD attribute;
        bool held;  // open to a reader who lets it be read and written, not replaced
    } cases[] = {{FILE_ATTRIBUTE_READONLY, false}, {FILE_ATTRIBUTE_HIDDEN, false}, {both, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.attribute << (c.held ? " held" : ""));
        const std::wstring path = WorkPath(L"attr.bin");
        RemoveFile(path);
        ASSERT_TRUE(WriteBytes(path, {1, 0, 0, 0}));
        ASSERT_TRUE(::SetFileAttributesW(path.c_str(), c.attribute));
        base::FileHandle holder;
        if (c.held) {
            holder.Reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(holder);
        }
        EXPECT_EQ(AppendAdIdToFile(path.c_str(), 2), !c.held);
        holder.Reset();
        EXPECT_EQ(ReadBytes(path), c.held ? Bytes({1, 0, 0, 0}) : Bytes({1, 0, 0, 0, 2, 0, 0, 0}));
        EXPECT_EQ(::GetFileAttributesW(path.c_str()) & both, c.held ? c.attribute : 0u);
    }
}

TEST(AdIdFile, OddFilesNeitherCrashNorLoseData) {
    const std::wstring folder = WorkPath(L"afolder");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    EXPECT_TRUE(ReadAdIdFile(folder.c_str()).empty());
    EXPECT_FALSE(AppendAdIdToFile(folder.c_str(), 3));

    const std::wstring big = WorkPath(L"big.bin");
    ASSERT_TRUE(WriteBytes(big, Bytes(5u * 1024 * 1024, 1)));
    EXPECT_TRUE(ReadAdIdFile(big.c_str()).empty());

    const std::wstring empty = WorkPath(L"zero.bin");
    ASSERT_TRUE(WriteBytes(empty, {}));
    EXPECT_TRUE(ReadAdIdFile(empty.c_str()).empty());
    EXPECT_FALSE(AppendAdIdToFile(WorkPath(L"no\\such\\folder\\ids.bin").c_str(), 3));
}

// Only a path that names one place whatever the current folder is written.
TEST(AdIdFile, APathThatIsNotFullyQualifiedIsRefused) {
    ::CreateDirectoryW(WorkPath(L"sub").c_str(), nullptr);
    for (const wchar_t* path : {L"relative.bin", L".\\relative.bin", L"sub\\relative.bin"}) {
        RemoveFile(WorkPath(path));
        EXPECT_FALSE(AppendAdIdToFile(path, 5)) << path;
        EXPECT_EQ(::GetFileAttributesW(WorkPath(path).c_str()), INVALID_FILE_ATTRIBUTES) << path;
    }
    EXPECT_FALSE(AppendAdIdToFile((L"\\\\?\\" + WorkPath(L"device.bin")).c_str(), 5));
}

bool WriteHalfThenFail(HANDLE file, const uint8_t* data, DWORD size) {
    DWORD written = 0;
    ::WriteFile(file, data, size / 2, &written, nullptr);
    return false;
}

TEST(AdIdFile, FailedWriteLeavesTheOldEntries) {
    const std::wstring path = WorkPath(L"keep.bin");
    const Bytes old = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};
    ASSERT_TRUE(WriteBytes(path, old));
    SetAdIdFileWriterForTest(&WriteHalfThenFail);
    const bool written = AppendAdIdToFile(path.c_str(), 4);
    SetAdIdFileWriterForTest(nullptr);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes(path), old);
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(WorkPath(L"~ad*").c_str(), &found);
    const base::FindHandle owner(search);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "no temporary file is left behind";
}

}  // namespace
