#include "plugins/setup/web_app_counter.h"

namespace setup {

FCGlobalShareMemory::FCGlobalShareMemory() {
    mapping_.Reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG),
                                        L"WebAppInfoCache_Memory"));
    if (!mapping_) return;
    const bool created = ::GetLastError() != ERROR_ALREADY_EXISTS;
    view_.Reset(::MapViewOfFile(mapping_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(LONG)));
    if (view_ && created) ::InterlockedExchange(Counter(), 0);
}

void FCGlobalShareMemory::Increment() {
    if (view_) ::InterlockedIncrement(Counter());
}

DWORD FCGlobalShareMemory::Value() const {
    return view_ ? static_cast<DWORD>(::InterlockedCompareExchange(Counter(), 0, 0)) : 0;
}

FCGlobalShareMemory& SharedWebAppCounter() {
    static FCGlobalShareMemory counter;
    return counter;
}

void IncrementWebAppCounter() { SharedWebAppCounter().Increment(); }

}  // namespace setup
