#include "companion/system/ui_package.h"

#include <windows.h>
#include <shlobj.h>

// unzip.h first: iowin32.h relies on what it declares.
#include <minizip/unzip.h>
#include <minizip/iowin32.h>

#include <vector>

#include "companion/system/paths.h"
#include "companion/system/shared_settings.h"
#include "companion/system/text_utils.h"
#include "protocol/program_names.h"
#include "base/handles.h"
#include "base/log.h"

namespace companion {

namespace {

constexpr size_t kNameBuffer = 260;
constexpr DWORD kChunk = 0x8000;
constexpr unsigned long kUtf8NameFlag = 1u << 11;

class ZipReader {
public:
    explicit ZipReader(const std::wstring& path) {
        zlib_filefunc64_def io{};
        fill_win32_filefunc64W(&io);
        zip_ = unzOpen2_64(path.c_str(), &io);
    }
    ~ZipReader() {
        if (zip_) unzClose(zip_);
    }
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;
    unzFile Get() const { return zip_; }

private:
    unzFile zip_ = nullptr;
};

bool HasDotDotComponent(const std::wstring& name) {
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of(L"\\/", start);
        if (end == std::wstring::npos) end = name.size();
        if (name.compare(start, end - start, L"..") == 0 && end - start == 2) return true;
        start = end + 1;
    }
    return false;
}

std::wstring EntryName(const char* bytes, unsigned long flags) {
    return ToWideFromCodePage(bytes, (flags & kUtf8NameFlag) ? CP_UTF8 : 936);
}

bool WriteAll(HANDLE file, const char* data, DWORD size) {
    DWORD written = 0;
    return ::WriteFile(file, data, size, &written, nullptr) && written == size;
}

bool ExtractZipEntry(const std::wstring& targetDir, unzFile zip) {
    char rawName[kNameBuffer] = {};
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, rawName, sizeof(rawName), nullptr, 0, nullptr, 0) != UNZ_OK) return false;
    // A name that fills the buffer has been cut and is not terminated.
    if (info.size_filename >= sizeof(rawName)) return false;
    const std::wstring name = EntryName(rawName, info.flag);
    if (name.empty() || !IsSafeEntryName(name)) {
        base::LogLine(L"skin package", L"an entry would land outside its folder: " + name);
        return false;
    }

    std::wstring path = targetDir;
    if (path.empty() || path.back() != L'\\') path.push_back(L'\\');
    path += name;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    if (path.size() >= MAX_PATH) {
        base::LogLine(L"skin package", L"a path too long to write: " + path);
        return false;
    }

    if (path.back() == L'\\') {
        const int rc = ::SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
        if (rc == ERROR_SUCCESS || rc == ERROR_ALREADY_EXISTS || rc == ERROR_FILE_EXISTS) return true;
        base::LogFailedCall((L"skin package " + path).c_str(), L"SHCreateDirectoryExW", static_cast<DWORD>(rc));
        return false;
    }
    // Archives that do not list their folders still unpack.
    const std::wstring parent = path.substr(0, path.find_last_of(L'\\'));
    if (GetPathType(parent.c_str()) != 2) {
        const int rc = ::SHCreateDirectoryExW(nullptr, parent.c_str(), nullptr);
        if (rc != ERROR_SUCCESS && rc != ERROR_ALREADY_EXISTS) {
            base::LogFailedCall((L"skin package " + parent).c_str(), L"SHCreateDirectoryExW", static_cast<DWORD>(rc));
            return false;
        }
    }

    base::FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        base::LogFailedCall((L"skin package " + path).c_str(), L"CreateFileW");
        return false;
    }
    if (info.uncompressed_size == 0) return true;
    if (unzOpenCurrentFile(zip) != UNZ_OK) return false;
    std::vector<char> chunk(kChunk);
    uint64_t total = 0;
    bool ok = true;
    for (;;) {
        const int read = unzReadCurrentFile(zip, chunk.data(), kChunk);
        if (read == 0) break;
        if (read < 0) {
            base::LogLine(L"skin package", L"an entry cannot be read: " + path);
            ok = false;
            break;
        }
        if (!WriteAll(file.Get(), chunk.data(), static_cast<DWORD>(read))) {
            base::LogFailedCall((L"skin package " + path).c_str(), L"WriteFile");
            ok = false;
            break;
        }
        total += static_cast<uint64_t>(read);
    }
    // Closing reports a bad checksum once the whole entry was read.
    if (unzCloseCurrentFile(zip) != UNZ_OK || total != info.uncompressed_size) {
        if (ok) base::LogLine(L"skin package", L"an entry is damaged: " + path);
        return false;
    }
    return ok;
}

}  // namespace

void ShowPackageFailure(const wchar_t* text) {
    ::MessageBoxW(nullptr, text, L"vyntest", MB_OK);
}

bool IsSafeEntryName(const std::wstring& name) {
    if (name.empty()) return false;
    if (name[0] == L'\\' || name[0] == L'/') return false;
    if (name.find(L':') != std::wstring::npos) return false;
    return !HasDotDotComponent(name);
}

bool UnzipToDir(const std::wstring& archive, const std::wstring& targetDir) {
    if (archive.empty() || targetDir.empty()) return false;
    ZipReader zip(archive);
    if (!zip.Get() || unzGoToFirstFile(zip.Get()) != UNZ_OK) {
        base::LogLine(L"skin package", L"not a readable archive: " + archive);
        return false;
    }
    for (;;) {
        if (!ExtractZipEntry(targetDir, zip.Get())) return false;
        const int next = unzGoToNextFile(zip.Get());
        if (next == UNZ_END_OF_LIST_OF_FILE) return true;
        if (next != UNZ_OK) {
            base::LogLine(L"skin package", L"the archive's list is damaged: " + archive);
            return false;
        }
    }
}

namespace {

// Walks `folder` (never into a link); removes every link found and, when
// `wipe`, every file too. 0 when the folder cannot be listed; -1 when a link
// stayed; else 1.
int SweepFolder(const std::wstring& folder, bool wipe) {
    if (folder.size() <= 3) return 0;
    std::wstring base = folder;
    if (base.back() != L'\\') base.push_back(L'\\');
    WIN32_FIND_DATAW found{};
    base::FindHandle search(::FindFirstFileW((base + L"*.*").c_str(), &found));
    if (!search) return 0;
    int result = 1;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = base + name;
        // A junction or link may lead anywhere: the next unpack would write
        // through it, so it goes, and what it leads to is never touched.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            if (!RemoveLink(path)) result = -1;
            continue;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (SweepFolder(path, wipe) < 0) result = -1;
            continue;
        }
        if (!wipe) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
            ::SetFileAttributesW(path.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
        ::DeleteFileW(path.c_str());
    } while (::FindNextFileW(search.Get(), &found));
    return result;
}

}  // namespace

bool RemoveLink(const std::wstring& path) {
    base::FileHandle link(::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                          nullptr));
    if (!link) return false;
    // Only a handle to the link itself is deleted: where the platform opens
    // what the link leads to instead, deleting would remove the target.
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!::GetFileInformationByHandleEx(link.Get(), FileAttributeTagInfo, &tag, sizeof(tag)) ||
        !(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    FILE_DISPOSITION_INFO dispose{TRUE};
    return ::SetFileInformationByHandle(link.Get(), FileDispositionInfo, &dispose, sizeof(dispose)) != FALSE;
}

int WipeFolder(const std::wstring& folder) {
    return SweepFolder(folder, true) == 0 ? 0 : 1;
}

bool RemoveLinksUnder(const std::wstring& folder) {
    return SweepFolder(folder, false) >= 0;
}

namespace {

// The user sees the step that failed; the log keeps it beside the cause.
void Refuse(const PackageFailureReport& report, const wchar_t* step) {
    base::LogLine(L"skin package not unpacked", step);
    report(step);
}

}  // namespace

bool InstallUiPackageFrom(const std::wstring& archive, const std::wstring& dataDir,
                          const PackageFailureReport& report) {
    const std::wstring target = dataDir + protocol::kSkinParentRelativePath;
    if (!CreateDirectoryTree(target.c_str())) {
        Refuse(report, L"mkdir_recursively failed");
        return false;
    }
    // A link that cannot be removed would take the unpack somewhere else.
    if (!RemoveLinksUnder(target)) {
        Refuse(report, L"UnzipToDir failed");
        return false;
    }
    if (!UnzipToDir(archive, target)) {
        WipeFolder(target + protocol::kSkinFolderName);
        if (!UnzipToDir(archive, target)) {
            Refuse(report, L"UnzipToDir failed");
            return false;
        }
    }
    if (GetPathType((target + protocol::kSkinFolderName + L"\\" + protocol::kActionFileName).c_str()) != 1) {
        Refuse(report, L"dir_file_exist failed");
        return false;
    }
    return true;
}

bool InstallUiPackage(const PackageFailureReport& report) {
    std::wstring dataDir;
    if (!GetAppDataDir(dataDir)) {
        Refuse(report, L"get_user_path failed");
        return false;
    }
    std::wstring exeDir;
    if (!GetExeDir(exeDir)) {
        Refuse(report, L"UnzipToDir failed");
        return false;
    }
    return InstallUiPackageFrom(exeDir + protocol::kSkinPackageName, dataDir, report);
}

}  // namespace companion
