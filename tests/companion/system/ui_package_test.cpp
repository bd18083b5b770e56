#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <cstdio>
#include <string>
#include <vector>

#include "base/module_exports.h"
#include "companion/system/paths.h"
#include "companion/system/ui_package.h"
#include "tests/companion/prefix_state.h"
#include "tests/companion/zip_writer.h"
#include "tests/support/message_pump.h"

using namespace companion;

namespace {

// Wide paths throughout: the names under test are not in the ANSI code page.
std::string ReadFile(const std::wstring& path) {
    std::string bytes;
    FILE* f = ::_wfopen(path.c_str(), L"rb");
    if (!f) return "<missing>";
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof(chunk), f)) > 0;) bytes.append(chunk, n);
    std::fclose(f);
    return bytes;
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
    FILE* f = ::_wfopen(path.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Each test works in a fresh folder of the temporary folder.
class UnpackTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GetTempDir(root_));
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ += L"unpack-" + std::wstring(info->name(), info->name() + std::strlen(info->name())) + L"\\";
        WipeFolder(root_);
        target_ = root_ + L"target\\";
        ASSERT_TRUE(CreateDirectoryTree(target_.c_str()));
        archive_ = root_ + L"halvet.ui";
    }
    void Make(const std::vector<ZipEntrySpec>& entries) { WriteFile(archive_, BuildZip(entries)); }
    bool Exists(const std::wstring& relative) const { return GetPathType((target_ + relative).c_str()) == 1; }

    std::wstring root_, target_, archive_;
};

TEST_F(UnpackTest, UnpacksFoldersAndFilesByteForByte) {
    const std::string png("\x89PNG\r\n\x1a\n\0\0binary", 18);
    Make({{"halvet/", ""}, {"halvet/Actions.ini", "[VynRest]\r\n"}, {"halvet/rest.png", png}});
    ASSERT_TRUE(UnzipToDir(archive_, target_));
    EXPECT_EQ(ReadFile(target_ + L"halvet\\Actions.ini"), "[VynRest]\r\n");
    EXPECT_EQ(ReadFile(target_ + L"halvet\\rest.png"), png);
}

TEST_F(UnpackTest, AnEmptyEntryTruncatesAnOldFile) {
    ASSERT_TRUE(CreateDirectoryTree((target_ + L"halvet").c_str()));
    WriteFile(target_ + L"halvet\\empty.txt", "old content");
    Make({{"halvet/", ""}, {"halvet/empty.txt", ""}});
    ASSERT_TRUE(UnzipToDir(archive_, target_));
    EXPECT_TRUE(Exists(L"halvet\\empty.txt"));
    EXPECT_EQ(ReadFile(target_ + L"halvet\\empty.txt"), "");
}

TEST_F(UnpackTest, MissingParentFoldersAreCreated) {
    Make({{"halvet/deep/er/file.txt", "x"}});
    ASSERT_TRUE(UnzipToDir(archive_, target_));
    EXPECT_TRUE(Exists(L"halvet\\deep\\er\\file.txt"));
}

TEST_F(UnpackTest, NamesAreDecodedAsUtf8WhenFlaggedElseAsCodePage936) {
    Make({{"halvet/\xE4\xB8\xAD\xE6\x96\x87.txt", "utf8", true}, {"halvet/\xB1\xB1\xBE\xA9.txt", "gbk"}});
    ASSERT_TRUE(UnzipToDir(archive_, target_));
    EXPECT_EQ(ReadFile(target_ + L"halvet\\中文.txt"), "utf8");
    EXPECT_EQ(ReadFile(target_ + L"halvet\\北京.txt"), "gbk");
}

TEST_F(UnpackTest, EntriesThatWouldLandOutsideTheFolderFailTheUnpack) {
    const char* hostile[] = {"../escaped.txt", "halvet/../../escaped.txt", "/escaped.txt", "\\escaped.txt",
                             "C:\\escaped.txt", "halvet/a:b.txt", "..\\escaped.txt"};
    for (const char* name : hostile) {
        Make({{"halvet/", ""}, {name, "evil"}});
        EXPECT_FALSE(UnzipToDir(archive_, target_)) << name;
        EXPECT_NE(GetPathType((root_ + L"escaped.txt").c_str()), 1) << name;
        EXPECT_NE(GetPathType(L"C:\\escaped.txt"), 1) << name;
    }
    EXPECT_TRUE(IsSafeEntryName(L"halvet/..name/x..y.txt"));
}

TEST_F(UnpackTest, AWrongChecksumFailsTheEntry) {
    Make({{"halvet/", ""}, {"halvet/Actions.ini", "content", false, true}});
    EXPECT_FALSE(UnzipToDir(archive_, target_));
}

TEST_F(UnpackTest, ANameThatFillsTheBufferFails) {
    Make({{"halvet/" + std::string(300, 'n') + ".txt", "x"}});
    EXPECT_FALSE(UnzipToDir(archive_, target_));
}

TEST_F(UnpackTest, APathOverTheSystemLimitFails) {
    const std::string longName = "halvet/" + std::string(100, 'a') + "/" + std::string(100, 'b') + "/" +
                                 std::string(50, 'c') + ".txt";
    Make({{longName, "x"}});
    EXPECT_FALSE(UnzipToDir(archive_, target_));
}

TEST_F(UnpackTest, BrokenOrMissingArchivesFail) {
    EXPECT_FALSE(UnzipToDir(root_ + L"missing.ui", target_));
    const std::string whole = BuildZip({{"halvet/", ""}, {"halvet/Actions.ini", std::string(5000, 'x')}});
    WriteFile(archive_, whole.substr(0, whole.size() / 2));
    EXPECT_FALSE(UnzipToDir(archive_, target_));
    WriteFile(archive_, "this is no zip archive at all");
    EXPECT_FALSE(UnzipToDir(archive_, target_));
    EXPECT_FALSE(UnzipToDir(L"", target_));
    EXPECT_FALSE(UnzipToDir(archive_, L""));
}

TEST_F(UnpackTest, WipeDeletesFilesReadOnlyOnesTooAndKeepsFolders) {
    ASSERT_TRUE(CreateDirectoryTree((target_ + L"halvet\\sub").c_str()));
    WriteFile(target_ + L"halvet\\a.txt", "a");
    WriteFile(target_ + L"halvet\\sub\\b.txt", "b");
    ::SetFileAttributesW((target_ + L"halvet\\sub\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(WipeFolder(target_ + L"halvet"), 1);
    EXPECT_FALSE(Exists(L"halvet\\a.txt"));
    EXPECT_FALSE(Exists(L"halvet\\sub\\b.txt"));
    EXPECT_EQ(GetPathType((target_ + L"halvet\\sub").c_str()), 2);
    EXPECT_EQ(WipeFolder(L"C:\\"), 0);
    EXPECT_EQ(WipeFolder(root_ + L"no-such-folder"), 0);
}

// A directory link at `link` leading to `target`. Where the system cannot
// make one (the test platform has no junctions), the host's own symbolic
// link stands in: the platform lists it as a reparse point.
bool RunHostCommand(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    ::WaitForSingleObject(process.hProcess, 10000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

using HostNameFn = char*(CDECL*)(const wchar_t*);

HostNameFn HostFileName() {
    return base::Export<HostNameFn>(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
}

bool IsLink(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool MakeDirectoryLink(const std::wstring& link, const std::wstring& target) {
    // The test platform's call answers success without making anything.
    if (::CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) && IsLink(link))
        return true;
    const HostNameFn host = HostFileName();
    if (!host) return false;
    const char* from = host(target.c_str());
    const char* to = host(link.c_str());
    if (!from || !to) return false;
    // The host's command runs apart from this process: wait for its link.
    if (!RunHostCommand(std::string("Z:\\bin\\ln -sfn ") + from + " " + to)) return false;
    testsupport::WaitUntil([&] { return IsLink(link); });
    return IsLink(link);
}

void RemoveDirectoryLink(const std::wstring& link) {
    if (RemoveLink(link)) return;
    if (const HostNameFn host = HostFileName())
        if (const char* path = host(link.c_str())) RunHostCommand(std::string("Z:\\bin\\rm -f ") + path);
}

class InstallTest : public UnpackTest {
protected:
    bool Install() {
        reports_.clear();
        return InstallUiPackageFrom(archive_, root_, [this](const wchar_t* text) { reports_.push_back(text); });
    }
    std::wstring Installed(const wchar_t* name) const { return root_ + L"tarvisk\\vyn\\halvet\\" + name; }
    std::vector<std::wstring> reports_;
};

TEST_F(InstallTest, AGoodPackageInstallsSilently) {
    Make({{"halvet/", ""}, {"halvet/Actions.ini", "[VynRest]"}});
    EXPECT_TRUE(Install());
    EXPECT_TRUE(reports_.empty());
    EXPECT_EQ(ReadFile(Installed(L"Actions.ini")), "[VynRest]");
}

TEST_F(InstallTest, AReadOnlyOldFileIsWipedBeforeTheSecondAttempt) {
    Make({{"halvet/", ""}, {"halvet/Actions.ini", "new"}});
    ASSERT_TRUE(Install());
    ::SetFileAttributesW(Installed(L"Actions.ini").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(Install());
    EXPECT_TRUE(reports_.empty());
    EXPECT_EQ(ReadFile(Installed(L"Actions.ini")), "new");
}

TEST_F(InstallTest, ABrokenPackageOrOneWithoutTheActionFileIsReported) {
    WriteFile(archive_, "garbage");
    EXPECT_FALSE(Install());
    EXPECT_EQ(reports_, std::vector<std::wstring>{L"UnzipToDir failed"});

    Make({{"halvet/", ""}, {"halvet/other.png", "x"}});
    ::DeleteFileW(Installed(L"Actions.ini").c_str());
    EXPECT_FALSE(Install());
    EXPECT_EQ(reports_, std::vector<std::wstring>{L"dir_file_exist failed"});
}

TEST_F(InstallTest, ALinkInTheSkinFolderIsNeverWrittenThrough) {
    const std::wstring outside = root_ + L"outside";
    ASSERT_TRUE(CreateDirectoryTree(outside.c_str()));
    WriteFile(outside + L"\\keep.txt", "mine");
    ASSERT_TRUE(CreateDirectoryTree((root_ + L"tarvisk\\vyn").c_str()));
    const std::wstring link = root_ + L"tarvisk\\vyn\\halvet";
    if (!MakeDirectoryLink(link, outside)) GTEST_SKIP() << "no directory links on this system";
    Make({{"halvet/", ""}, {"halvet/Actions.ini", "[VynRest]"}, {"halvet/keep.txt", "overwritten"}});

    const bool installed = Install();
    const bool linkStayed = IsLink(link);
    if (linkStayed) RemoveDirectoryLink(link);
    EXPECT_EQ(ReadFile(outside + L"\\keep.txt"), "mine");
    EXPECT_NE(GetPathType((outside + L"\\Actions.ini").c_str()), 1);
    if (installed) {
        // Where the link could be removed, the skin lands in a real folder.
        EXPECT_FALSE(linkStayed);
        EXPECT_EQ(ReadFile(Installed(L"Actions.ini")), "[VynRest]");
    } else {
        EXPECT_EQ(reports_, std::vector<std::wstring>{L"UnzipToDir failed"});
    }
}

}  // namespace
