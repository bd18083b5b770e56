#include "plugins/setup/ad_id_file.h"

#include <cstring>
#include <mutex>

#include "plugins/setup/setup_files.h"
#include "plugins/setup/setup_folders.h"
#include "base/handles.h"
#include "plugins/setup/x_logger.h"

namespace setup {

namespace {

bool WriteAll(HANDLE file, const uint8_t* data, DWORD size) {
    DWORD written = 0;
    return ::WriteFile(file, data, size, &written, nullptr) && written == size;
}

AdIdFileWriter g_writer = &WriteAll;

// The whole little-endian entries; trailing bytes short of one are left out.
std::vector<uint32_t> EntriesOf(const std::vector<uint8_t>& bytes) {
    std::vector<uint32_t> ids(bytes.size() / 4);
    if (!ids.empty()) std::memcpy(ids.data(), bytes.data(), ids.size() * 4);
    return ids;
}

}  // namespace

void SetAdIdFileWriterForTest(AdIdFileWriter writer) { g_writer = writer ? writer : &WriteAll; }

std::vector<uint32_t> ReadAdIdFile(const wchar_t* path) {
    std::vector<uint8_t> bytes;
    if (!path || !ReadWholeFile(path, kAdIdFileMaxBytes, &bytes)) return std::vector<uint32_t>();
    return EntriesOf(bytes);
}

bool AppendAdIdToFile(const wchar_t* given, uint32_t adId) {
    if (!given || !*given || adId == 0) return false;
    // Only a file that names one place whatever the current folder and
    // drive: taken apart and put together again by the one join helper,
    // which refuses anything else. Its temporary file goes beside it.
    const std::wstring folder = FolderOf(given);
    const std::wstring target = JoinPath(folder, given + folder.size());
    if (target.empty()) return false;
    const wchar_t* const path = target.c_str();
    // Read, append and replace are one step: two writers that both read n
    // entries would each write n + 1, and one id would be lost. One lock
    // for every file: the writes are few and small.
    static std::mutex writing;
    std::lock_guard<std::mutex> hold(writing);
    const DWORD attributes = ::GetFileAttributesW(path);
    const bool missing = attributes == INVALID_FILE_ATTRIBUTES && ::GetLastError() == ERROR_FILE_NOT_FOUND;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;

    // Whatever is there is kept whole or not touched: a file that cannot be
    // read whole (too large, held open, not ours to read) is never replaced
    // by the new id alone.
    std::vector<uint32_t> ids;
    if (!missing) {
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(path, kAdIdFileMaxBytes, &bytes)) return false;
        ids = EntriesOf(bytes);
    }
    ids.push_back(adId);

    wchar_t temp[MAX_PATH] = {};
    if (!::GetTempFileNameW(folder.c_str(), L"~ad", 0, temp)) {
        LogFailure(path, L"GetTempFileNameW");
        return false;
    }

    bool written = false;
    {
        base::FileHandle file(::CreateFileW(temp, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) LogFailure(temp, L"CreateFileW");
        written = file && g_writer(file.Get(), reinterpret_cast<const uint8_t*>(ids.data()),
                                   static_cast<DWORD>(ids.size() * 4));
        if (file && !written) LogFailure(temp, L"WriteFile");
    }
    if (written) {
        // A read-only file can't be replaced; one that still isn't keeps its
        // flags.
        const bool reset = attributes != INVALID_FILE_ATTRIBUTES && attributes != FILE_ATTRIBUTE_NORMAL &&
                           ::SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
        written = ::MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING) != FALSE;
        if (!written) LogFailure(path, L"MoveFileExW");
        if (!written && reset) ::SetFileAttributesW(path, attributes);
    }
    if (!written) ::DeleteFileW(temp);
    return written;
}

}  // namespace setup
