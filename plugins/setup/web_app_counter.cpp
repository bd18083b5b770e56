#include "plugins/setup/web_app_counter.h"

namespace setup {

FCGlobalShareMemory::FCGlobalShareMemory() {
    mapping_ = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG),
                                    L"WebAppInfoCache_Memory");
    if (!mapping_) return;
    const bool created = ::GetLastError() != ERROR_ALREADY_EXISTS;
    view_ = static_cast<volatile LONG*>(::MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(LONG)));
    if (view_ && created) ::InterlockedExchange(view_, 0);
}

FCGlobalShareMemory::~FCGlobalShareMemory() {
    if (view_) ::UnmapViewOfFile(const_cast<LONG*>(view_));
    if (mapping_) ::CloseHandle(mapping_);
}

void FCGlobalShareMemory::Increment() {
    if (view_) ::InterlockedIncrement(view_);
}

DWORD FCGlobalShareMemory::Value() const {
    return view_ ? static_cast<DWORD>(::InterlockedCompareExchange(view_, 0, 0)) : 0;
}

FCGlobalShareMemory& SharedWebAppCounter() {
    static FCGlobalShareMemory counter;
    return counter;
}

void IncrementWebAppCounter() { SharedWebAppCounter().Increment(); }

}  // namespace setup
