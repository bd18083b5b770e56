#include "plugins/setup/setup_files.h"

#include "base/handles.h"

namespace setup {

bool ReadWholeFile(const wchar_t* path, DWORD maxBytes, std::vector<uint8_t>* bytes) {
    base::FileHandle file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > maxBytes) return false;
    bytes->resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes->empty() &&
        (!::ReadFile(file.Get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) ||
         read != bytes->size())) {
        bytes->clear();
        return false;
    }
    return true;
}

}  // namespace setup
