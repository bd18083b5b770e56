// Helpers that let a test of any area change state of the Wine prefix
// (files, registry values) and put it back afterwards, whatever the test did.
#pragma once

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/text.h"

namespace testsupport {

inline bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Removes a file (read-only or not) or an (empty) folder of that name.
inline void RemovePath(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return;
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (a & FILE_ATTRIBUTE_DIRECTORY) ::RemoveDirectoryW(path.c_str());
    else ::DeleteFileW(path.c_str());
}

// Moves a file (or a folder standing in its place) out of the way for the
// life of the object and puts it back; whatever the test left there goes.
// With `keepInPlace` a file is copied and left where it is.
class FileBackup {
public:
    explicit FileBackup(std::wstring path, bool keepInPlace = false)
        : path_(std::move(path)), saved_(path_ + L".testsave") {
        RemovePath(saved_);
        had_ = ::GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!had_) return;
        if (keepInPlace)
            ::CopyFileW(path_.c_str(), saved_.c_str(), FALSE);
        else
            ::MoveFileExW(path_.c_str(), saved_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    ~FileBackup() {
        RemovePath(path_);
        if (had_) ::MoveFileExW(saved_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    FileBackup(const FileBackup&) = delete;
    FileBackup& operator=(const FileBackup&) = delete;

private:
    std::wstring path_;
    std::wstring saved_;
    bool had_ = false;
};

// Saves one registry value (or its absence) and restores it on destruction.
class RegValueBackup {
public:
    RegValueBackup(HKEY root, std::wstring subkey, std::wstring name)
        : root_(root), subkey_(std::move(subkey)), name_(std::move(name)) {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(root_, subkey_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
        DWORD bytes = 0;
        if (::RegQueryValueExW(key, name_.c_str(), nullptr, &type_, nullptr, &bytes) == ERROR_SUCCESS) {
            data_.resize(bytes);
            had_ = ::RegQueryValueExW(key, name_.c_str(), nullptr, &type_, data_.data(), &bytes) == ERROR_SUCCESS;
        }
        ::RegCloseKey(key);
    }
    ~RegValueBackup() {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(root_, subkey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        if (had_)
            ::RegSetValueExW(key, name_.c_str(), 0, type_, data_.data(), static_cast<DWORD>(data_.size()));
        else
            ::RegDeleteValueW(key, name_.c_str());
        ::RegCloseKey(key);
    }
    RegValueBackup(const RegValueBackup&) = delete;
    RegValueBackup& operator=(const RegValueBackup&) = delete;

private:
    HKEY root_;
    std::wstring subkey_;
    std::wstring name_;
    bool had_ = false;
    DWORD type_ = 0;
    std::vector<BYTE> data_;
};

// Reads a REG_SZ value; nullopt when it is missing.
inline std::optional<std::wstring> ReadRegText(HKEY root, const wchar_t* subkey, const wchar_t* name) {
    wchar_t buffer[1024] = {};
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    const LONG rc = ::RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &bytes);
    ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    return std::wstring(buffer);
}

}  // namespace testsupport
