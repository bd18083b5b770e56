// Classes 21 (look-up: the program of a command line) and 22 (browser:
// registry texts), as the setup plug-in asks them for the default browser.
#include <windows.h>

#include <string>

#include "protocol/bex_kernel.h"
#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"

namespace standin {

namespace k = protocol::kernel;

namespace {

struct Plain : ServiceObject {};

// Only a quoted program is found: a command without quotes gives nothing.
// The answer is a class-3 string: slot 11 (its length) says valid, slot 10
// gives the text.
int BEX_CALL LookupFind(k::Lookup*, const wchar_t* text, k::lookup::Answer** found, uint32_t* extra) {
    if (found) *found = nullptr;
    if (extra) *extra = 0;
    Log(std::wstring(L"21.6 ") + (text ? text : L"(null)"));
    if (!text || !found) return 0;
    std::wstring command(text);
    const size_t start = command.find_first_not_of(L" \t");
    if (start == std::wstring::npos || command[start] != L'"') return 0;
    const size_t end = command.find(L'"', start + 1);
    if (end == std::wstring::npos || end == start + 1) return 0;
    *found = k::As<k::lookup::Answer>(MakeStringWith(command.substr(start + 1, end - start - 1)));
    return 1;
}

HKEY RootOf(const std::wstring& name) {
    if (name == L"HKCU") return HKEY_CURRENT_USER;
    if (name == L"HKLM") return HKEY_LOCAL_MACHINE;
    if (name == L"HKCR") return HKEY_CLASSES_ROOT;
    return nullptr;
}

// "ROOT\key\value"; an empty value name reads the key's default value.
int BEX_CALL BrowserReadRegistry(k::Browser*, const wchar_t* path, int, k::String** text) {
    if (text) *text = nullptr;
    Log(std::wstring(L"22.4 ") + (path ? path : L"(null)"));
    if (!path || !text) return 0;
    const std::wstring full(path);
    const size_t rootEnd = full.find(L'\\');
    const size_t valueStart = full.rfind(L'\\');
    if (rootEnd == std::wstring::npos || valueStart == rootEnd) return 0;
    const HKEY root = RootOf(full.substr(0, rootEnd));
    if (!root) return 0;
    const std::wstring key = full.substr(rootEnd + 1, valueStart - rootEnd - 1);
    const std::wstring value = full.substr(valueStart + 1);
    wchar_t data[4096] = {};
    DWORD bytes = sizeof(data) - sizeof(wchar_t);
    if (::RegGetValueW(root, key.c_str(), value.empty() ? nullptr : value.c_str(),
                       RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, data, &bytes) != ERROR_SUCCESS)
        return 0;
    *text = MakeStringWith(data);
    return 1;
}

}  // namespace

IBexPlugin* MakeLookup() {
    static const SlotTable<k::lookup::Of> table = [] {
        SlotTable<k::lookup::Of> t;
        t.Set(k::lookup::kFind, &LookupFind);
        return t;
    }();
    return HandOut(NewServiceObject<Plain>(table, k::kLookup));
}

IBexPlugin* MakeBrowser() {
    static const SlotTable<k::browser::Of> table = [] {
        SlotTable<k::browser::Of> t;
        t.Set(k::browser::kReadRegistry, &BrowserReadRegistry);
        return t;
    }();
    return HandOut(NewServiceObject<Plain>(table, k::kBrowser));
}

}  // namespace standin
